#!/usr/bin/env python3
"""Paired benchmark runs of two builds, taken in turn, and the medians of their figures.

    compare_runs.py BEFORE_BINARY AFTER_BINARY [RUNS [OUT_PREFIX]]

Runs `BINARY --resolution 640x480 --benchmark --json FILE` RUNS times (default 3) for each
build, alternating, under the current X display, so that a machine's slow spell falls on both.
Prints, per figure, the median over the runs of each build and their ratio (after / before):
the first frame after the process started, and each scene's frame median and 95th percentile.
Where bench_startup_floor lies beside AFTER_BINARY it runs once a round too (the least a start
with these libraries and a window costs), and each build's first frame is also given as a
multiple of that floor.
With OUT_PREFIX the run whose first frame is the median one is kept as OUT_PREFIX-before.json
and OUT_PREFIX-after.json (for plot_benchmark.py). Only the standard library is needed.
"""
import json
import os
import statistics
import subprocess
import sys
import tempfile


def run(binary, path):
    subprocess.run([binary, "--resolution", "640x480", "--benchmark", "--json", path],
                   check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    with open(path) as f:
        return json.load(f)


def figures(result):
    """The compared figures of one run, by name."""
    out = {"first frame s": result["firstFrameSeconds"]}
    for scene in [result["floor"]] + result["scenes"]:
        out[scene["name"] + " ms"] = scene["frameMsMedian"]
        out[scene["name"] + " p95 ms"] = scene["frameMsP95"]
    return out


def floor_run(program, path):
    subprocess.run([program, "--json", path], check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)
    with open(path) as f:
        return json.load(f)["figures"][0]["value"]


def median_run(results):
    firsts = sorted(results, key=lambda r: r["firstFrameSeconds"])
    return firsts[len(firsts) // 2]


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    binaries = sys.argv[1:3]
    runs = int(sys.argv[3]) if len(sys.argv) > 3 else 3
    prefix = sys.argv[4] if len(sys.argv) > 4 else None
    floor_program = os.path.join(os.path.dirname(os.path.abspath(binaries[1])),
                                 "bench_startup_floor")
    if not os.access(floor_program, os.X_OK):
        floor_program = None
    results, floors = [[], []], []
    with tempfile.TemporaryDirectory() as tmp:
        for i in range(runs):
            if floor_program:
                floors.append(floor_run(floor_program, os.path.join(tmp, "floor%d.json" % i)))
            for k, binary in enumerate(binaries):
                results[k].append(run(binary, os.path.join(tmp, "run%d-%d.json" % (k, i))))
    medians = [{name: statistics.median(figures(r)[name] for r in rs) for name in figures(rs[0])}
               for rs in results]
    print("%-24s %10s %10s %7s" % ("figure (median of %d)" % runs, "before", "after", "ratio"))
    for name, before in medians[0].items():
        after = medians[1][name]
        print("%-24s %10.3f %10.3f %7.2f" % (name, before, after, after / before if before else 0))
    if floors:
        floor = statistics.median(floors)
        print("%-24s %10.3f" % ("start-up floor s", floor))
        print("%-24s %10.2f %10.2f" % ("first frame x floor", medians[0]["first frame s"] / floor,
                                        medians[1]["first frame s"] / floor))
    if prefix:
        for label, rs in zip(("before", "after"), results):
            with open("%s-%s.json" % (prefix, label), "w") as f:
                json.dump(median_run(rs), f, indent=1)


if __name__ == "__main__":
    main()
