# The benchmark prints a row per scene and the floor (a clear and a swap) and
# writes the same figures as JSON, with each median over the floor's and the
# machine.
. "$(dirname "$0")/lib.bash"
OUT=$(mktemp -d)
atExit 'rm -rf "$OUT"'
"$BIN" --resolution 640x480 --benchmark --json "$OUT/b.json" >"$OUT/table.txt" 2>/dev/null || fail "benchmark exit code $?"
for scene in screen words "torus knot" laser "evolution text" "skull skybox"; do
  grep -q "^$scene " "$OUT/table.txt" || fail "no row for $scene"
done
grep -q "^floor " "$OUT/table.txt" || fail "no row for the floor"
python3 - "$OUT/b.json" <<'PY' || fail "bad JSON"
import json, sys
d = json.load(open(sys.argv[1]))
m = d["machine"]
assert m["cpu"] and m["cores"] >= 1 and m["glRenderer"] and m["glVersion"], m
assert (d["width"], d["height"]) == (640, 480)
assert 0 < d["beforeWindowSeconds"] <= d["firstFrameSeconds"], d
figures = ("cpuMsMedian", "cpuMsP95", "frameMsMedian", "frameMsP95", "gpuMsMedian", "gpuMsP95")
floor = d["floor"]["frameMsMedian"]
assert floor > 0 and all(k in d["floor"] for k in figures)
assert len(d["scenes"]) == 6
for s in d["scenes"]:
    assert all(k in s for k in figures) and s["frameMsMedian"] > 0, s
    assert s["frameMsP95"] >= s["frameMsMedian"], s
    ratio = s["frameMsMedian"] / floor
    assert abs(s["ratioToFloor"] - ratio) <= 0.01 * ratio, (s["ratioToFloor"], ratio)
PY
"$BIN" --json "$OUT/x.json" 2>/dev/null; [ $? = 2 ] || fail "--json without --benchmark accepted"
echo ok
