#!/usr/bin/env bash
# Proves the README's two commands on a clean Debian 12: makes a bare
# bookworm root (debootstrap --variant=minbase), copies the committed tree
# into it (git archive HEAD) and runs, inside it with chroot, as a new user
# would: tools/install-deps.sh, tools/build.sh, the tests under the root's
# own Xvfb (all but the end-to-end runs, which tools/test.sh runs outside)
# and one second of the show captured by the built program; then the Debian
# package built there is installed with apt into a second bare root and run
# (tools/deb_check.sh).
#
#   tools/clean_root.sh [WORK_DIR]      (root only; default /var/tmp/parallaxis-clean-root)
#
# The bare root is kept as a tar file in CLEAN_ROOT_CACHE (default
# /var/cache/parallaxis-clean-root) and unpacked afresh for every run, so each
# run starts where none of the project's dependencies is installed; the
# packages apt downloads are kept there too (downloaded, not installed). The
# mirror is the one this machine's own apt sources name. Each stage prints
# its duration; the exit code is the first failing stage's.
set -euo pipefail
cd "$(dirname "$0")/.."
[ "$(id -u)" -eq 0 ] || { echo "clean_root.sh: needs root (debootstrap, chroot, mount)" >&2; exit 2; }

WORK=${1:-/var/tmp/parallaxis-clean-root}
CACHE=${CLEAN_ROOT_CACHE:-/var/cache/parallaxis-clean-root}
ROOT=$WORK/root

# stage NAME COMMAND...: runs one stage and prints how long it took.
stage() {
  local name=$1 start=$SECONDS
  shift
  echo "== clean root: $name"
  "$@"
  echo "== clean root: $name took $((SECONDS - start)) s"
}

# mirror: the first Debian archive address in this machine's apt sources.
mirror() {
  local uri=""
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    uri=$(awk '/^URIs:/ { for (i = 2; i <= NF; i++) if ($i !~ /security/) { print $i; exit } }' \
      /etc/apt/sources.list.d/debian.sources)
  fi
  if [ -z "$uri" ] && [ -f /etc/apt/sources.list ]; then
    uri=$(awk '$1 == "deb" && $0 !~ /security/ {
                for (i = 2; i <= NF; i++) if ($i ~ /^[a-z]+:\/\//) { print $i; exit } }' \
      /etc/apt/sources.list)
  fi
  [ -n "$uri" ] || { echo "clean_root.sh: no Debian mirror in this machine's apt sources" >&2; return 1; }
  echo "$uri"
}

# makeTarball: debootstraps a bare root once and packs it.
makeTarball() {
  if ! command -v debootstrap >/dev/null; then
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap \
      >"$WORK/debootstrap.log" 2>&1
  fi
  local url fresh=$WORK/bootstrap
  url=$(mirror)
  rm -rf "$fresh"
  mkdir -p "$fresh" "$CACHE"
  debootstrap --variant=minbase bookworm "$fresh" "$url" >>"$WORK/debootstrap.log" 2>&1 || {
    tail -n 20 "$WORK/debootstrap.log" >&2
    return 1
  }
  tar -C "$fresh" -cf "$TARBALL.part" .
  mv "$TARBALL.part" "$TARBALL"
  rm -rf "$fresh"
}

. tools/bare_root.bash

# freshRoot: a fresh root with the committed tree in /src.
freshRoot() {
  unpackRoot
  mkdir -p "$ROOT/src"
  git archive HEAD | tar -x -C "$ROOT/src"
}

# inSrc COMMAND: runs a shell command in the root's copy of the tree.
inSrc() { inside "cd /src && $1"; }

# Nothing of the project's may be there before install-deps.sh runs.
checkBare() {
  inside '! dpkg-query -W -f="\${Status}\n" cmake g++ libsdl2-dev fluid 2>/dev/null | grep -q "install ok installed"'
}

trap unmountAll EXIT
mkdir -p "$WORK"
total=$SECONDS
if [ ! -f "$TARBALL" ]; then
  stage "debootstrap bookworm (minbase), packed for later runs" makeTarball
fi
stage "fresh root from $TARBALL" freshRoot
stage "nothing of the project's installed" checkBare
stage "tools/install-deps.sh" inSrc 'tools/install-deps.sh >/tmp/install-deps.log 2>&1 || { tail -n 30 /tmp/install-deps.log; exit 1; }'
stage "tools/build.sh" inSrc 'tools/build.sh >/tmp/build.log 2>&1 || { tail -n 40 /tmp/build.log; exit 1; }'
stage "ctest under the root's own Xvfb (end-to-end runs excluded)" \
  inSrc 'cd build && xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" ctest -LE e2e --output-on-failure >/tmp/ctest.log 2>&1 || { grep -E "Failed|\*\*\*|tests passed" /tmp/ctest.log | tail -n 40; exit 1; }; tail -n 3 /tmp/ctest.log'
stage "one second of the show captured" \
  inSrc 'xvfb-run -a -s "-screen 0 1280x1024x24" env PARALLAXIS_UNATTENDED=1 SDL_AUDIODRIVER=dummy build/parallaxis --resolution 640x480 --capture /tmp/show --capture-png --capture-fps 10 --to 1 >/tmp/show.log 2>&1 || { cat /tmp/show.log; exit 1; }; ls /tmp/show | grep -c "^frame_.*png$" | xargs -I{} echo "{} frames written"'
stage "the Debian package" inSrc 'cd build && cpack -G DEB >/tmp/cpack.log 2>&1 || { tail -n 30 /tmp/cpack.log; exit 1; }'
stage "the package installed with apt into a second bare root and run" \
  tools/deb_check.sh "$(ls "$ROOT"/src/build/parallaxis_*.deb)" "$WORK/deb"
echo "== clean root: all stages passed in $((SECONDS - total)) s"
