# The benchmark prints a row per scene and writes the same figures as JSON.
. "$(dirname "$0")/lib.bash"
OUT=$(mktemp -d)
atExit 'rm -rf "$OUT"'
"$BIN" --benchmark --json "$OUT/b.json" >"$OUT/table.txt" 2>/dev/null || fail "benchmark exit code $?"
for scene in screen words "torus knot" laser "evolution text" "skull skybox"; do
  grep -q "^$scene " "$OUT/table.txt" || fail "no row for $scene"
done
python3 - "$OUT/b.json" <<'PY' || fail "bad JSON"
import json, sys
d = json.load(open(sys.argv[1]))
assert len(d["scenes"]) == 6
assert all(s["frameMsMedian"] > 0 for s in d["scenes"])
PY
"$BIN" --json "$OUT/x.json" 2>/dev/null; [ $? = 2 ] || fail "--json without --benchmark accepted"
echo ok
