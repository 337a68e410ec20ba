#!/usr/bin/env bash
# Checks that every include between the source folders points down a layer.
#
# Reads the quoted includes of every .h and .cpp under the source folders,
# resolved from the repository root first and then from the including file's
# folder. Each folder is a layer (shader/translate and shader/language are
# layers of their own); an include may only name a file of its own layer or
# of a lower one. Prints the folder graph, lines per folder and every
# offending include; exits 1 on any upward include, any circle between
# folders, any circle of modules (a header and its source) spanning folders,
# or a folder missing from the table below. tests/, tools/ and docs/ are not
# layers and are not read.
#
#   tools/check_layers.sh [--quiet]
set -euo pipefail
cd "$(dirname "$0")/.."

# Top to bottom; folders on one line are peers and may not include each other.
LAYERS='app data
scenes
engine
effects
geometry
resources fonts
shader sound
platform shader/translate
shader/language'

quiet=0
[ "${1:-}" = --quiet ] && quiet=1

mapfile -t files < <(find . -path ./.git -prune -o -path './build*' -prune -o -path ./tests -prune \
  -o -path ./tools -prune -o -path ./docs -prune -o -type f \( -name '*.h' -o -name '*.cpp' \) -print |
  sed 's|^\./||' | grep / | sort)

# One record per file: "F path lines", then "I from to" per resolved include.
{
  echo "$LAYERS" | awk '{ for (i = 1; i <= NF; ++i) print "L", $i, NR }'
  awk '
    BEGIN { for (i = 1; i < ARGC; ++i) known[ARGV[i]] = 1 }
    FNR == 1 { if (NR > 1) print "F", path, count; path = FILENAME; count = 0
               dir = path; sub(/\/[^\/]*$/, "", dir) }
    { ++count }
    /^[ \t]*#[ \t]*include[ \t]*"/ {
      inc = $0; sub(/^[^"]*"/, "", inc); sub(/".*/, "", inc)
      if (inc in known) print "I", path, inc
      else if ((dir "/" inc) in known) print "I", path, dir "/" inc
    }
    END { if (NR > 0) print "F", path, count }' "${files[@]}"
} | awk -v quiet="$quiet" '
function unit(path) {
  if (path ~ /^shader\/(translate|language)\//) { sub(/\/[^\/]*$/, "", path); return path }
  sub(/\/.*/, "", path)
  return path
}
# A module: a header and its source, named by their path without the ending.
function module(path) {
  sub(/\.(h|cpp)$/, "", path)
  return path
}
# Marks in seen[] every file reachable from file s by includes.
function reach(s,    stack, top, n, k, t) {
  delete seen
  top = 0; stack[++top] = s
  while (top > 0) {
    n = stack[top--]
    for (k = 1; k <= outCount[n]; ++k) {
      t = out[n, k]
      if (!(t in seen)) { seen[t] = 1; stack[++top] = t }
    }
  }
}
$1 == "L" { rank[$2] = -$3; next }
$1 == "F" { u = unit($2); if (!(u in lines)) names[++n] = u; lines[u] += $3; m = module($2)
  if (!(m in fileUnit)) { fileUnit[m] = u; fileList[++fileCount] = m }
  next
}
$1 == "I" {
  from = unit($2); to = unit($3)
  if (module($2) != module($3)) out[module($2), ++outCount[module($2)]] = module($3)
  if (from == to) next
  if (!((from, to) in arrow)) {
    arrow[from, to] = 1; arrows++; fromOf[arrows] = from; toOf[arrows] = to
    if ((from in rank) && (to in rank) && rank[to] >= rank[from]) upward++
  }
  if ((from in rank) && (to in rank) && rank[to] >= rank[from])
    bad[++badCount] = "include not pointing down: " $2 " -> " $3
}
END {
  for (u in lines) if (!(u in rank)) bad[++badCount] = "folder not in the layer table: " u

  # Circles between folders: each group of folders that reach one another.
  for (i = 1; i <= arrows; ++i) folderReach[fromOf[i], toOf[i]] = 1
  for (k in lines) for (u in lines) if ((u, k) in folderReach) for (v in lines)
    if ((k, v) in folderReach) folderReach[u, v] = 1
  folderCycles = 0
  for (i = 1; i <= n; ++i) {
    u = names[i]
    if ((u in grouped) || !((u, u) in folderReach)) continue
    text = u
    for (j = i + 1; j <= n; ++j) {
      v = names[j]
      if ((u, v) in folderReach && (v, u) in folderReach) { grouped[v] = 1; text = text " " v }
    }
    folderCycles++; bad[++badCount] = "circle between folders: " text
  }

  # Circles of modules: each group of modules that include one another,
  # directly or not; a group spanning folders fails, one inside a folder is
  # listed.
  for (i = 1; i <= fileCount; ++i) {
    reach(fileList[i])
    for (t in seen) fileReach[fileList[i], t] = 1
  }
  crossCycles = innerCycles = 0
  for (i = 1; i <= fileCount; ++i) {
    f = fileList[i]
    if ((f in inCycle) || !((f, f) in fileReach)) continue
    text = f; spans = 0
    for (j = i + 1; j <= fileCount; ++j) {
      t = fileList[j]
      if (!((f, t) in fileReach) || !((t, f) in fileReach)) continue
      inCycle[t] = 1; text = text " " t
      if (fileUnit[t] != fileUnit[f]) spans = 1
    }
    if (spans) { crossCycles++; bad[++badCount] = "circle of modules across folders: " text }
    else { innerCycles++; inner[innerCycles] = text }
  }

  if (!quiet) {
    for (i = 1; i <= n; ++i) printf "%-18s %6d lines\n", names[i], lines[names[i]]
    for (i = 1; i <= arrows; ++i) print "  " fromOf[i] " -> " toOf[i] | "sort"
    close("sort")
    for (i = 1; i <= innerCycles; ++i) print "circle of modules inside a folder: " inner[i]
  }
  printf "folders %d, arrows %d, upward arrows %d, circles between folders %d, ", n, arrows, upward,
    folderCycles
  printf "circles of modules across folders %d, inside folders %d\n", crossCycles, innerCycles
  for (i = 1; i <= badCount; ++i) print "FAIL " bad[i]
  exit badCount > 0 ? 1 : 0
}'
