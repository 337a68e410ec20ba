#!/usr/bin/env python3
"""Bar plot of the per-scene frame times of one or two `parallaxis --benchmark --json` files.

    plot_benchmark.py OUT.png RUN.json [LABEL]
    plot_benchmark.py OUT.png BEFORE.json AFTER.json [LABEL LABEL]

Each scene (and the floor, a clear and a swap) gets a bar of its frame median with a whisker
up to its 95th percentile, one bar per file side by side. The figures and the machine they
come from are printed as a Markdown table on standard output. Needs matplotlib (Debian:
python3-matplotlib).
"""
import json
import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402 (the back end is chosen first)


def rows(run):
    """The floor and the scenes of one run, in the order measured."""
    return [dict(run["floor"], ratioToFloor=1.0)] + run["scenes"]


def machine(run):
    m = run["machine"]
    return "%s, %d cores; %s; %dx%d" % (m["cpu"], m["cores"], m["glRenderer"], run["width"],
                                         run["height"])


def table(runs, labels):
    """The Markdown table of the runs' figures, a column group per run."""
    head = "| scene |" + "".join(
        " %s frame ms (p95) | x floor | cpu ms | gpu ms |" % label for label in labels)
    lines = [head, "|---|" + "---:|---:|---:|---:|" * len(runs)]
    for i, first in enumerate(rows(runs[0])):
        cells = ["| %s |" % first["name"]]
        for run in runs:
            r = rows(run)[i]
            cells.append(" %.2f (%.2f) | %.1f | %.2f | %.2f |" % (
                r["frameMsMedian"], r["frameMsP95"], r["ratioToFloor"], r["cpuMsMedian"],
                r["gpuMsMedian"]))
        lines.append("".join(cells))
    for run, label in zip(runs, labels):
        lines.append("")
        lines.append("%s: %s; %d frames per scene; first frame %.2f s after the process "
                     "started (window %.2f s, set-up and loading %.2f s)" % (
                         label, machine(run), run["framesPerScene"], run["firstFrameSeconds"],
                         run["windowSeconds"], run["setupSeconds"]))
    return "\n".join(lines)


def plot(runs, labels, out):
    names = [r["name"] for r in rows(runs[0])]
    width = 0.8 / len(runs)
    fig, ax = plt.subplots(figsize=(9, 4.5), dpi=100)
    for k, (run, label) in enumerate(zip(runs, labels)):
        medians = [r["frameMsMedian"] for r in rows(run)]
        p95 = [r["frameMsP95"] - r["frameMsMedian"] for r in rows(run)]
        xs = [i + (k - (len(runs) - 1) / 2) * width for i in range(len(names))]
        bars = ax.bar(xs, medians, width, yerr=[[0] * len(p95), p95], capsize=3, label=label)
        ax.bar_label(bars, fmt="%.1f", fontsize=8, padding=2)
    ax.set_xticks(range(len(names)), names)
    ax.set_ylabel("ms per frame (median, whisker to p95)")
    ax.set_title("Parallaxis benchmark: " + machine(runs[-1]), fontsize=9)
    ax.legend()
    fig.tight_layout()
    fig.savefig(out)


def main(argv):
    files = [a for a in argv[2:] if a.endswith(".json")]
    labels = [a for a in argv[2:] if not a.endswith(".json")]
    if len(argv) < 3 or not 1 <= len(files) <= 2 or len(labels) not in (0, len(files)):
        sys.stderr.write(__doc__)
        return 2
    runs = [json.load(open(f)) for f in files]
    if not labels:
        labels = ["before", "after"] if len(runs) == 2 else ["run"]
    if any([r["name"] for r in rows(run)] != [r["name"] for r in rows(runs[0])] for run in runs):
        sys.stderr.write("plot_benchmark: the runs measured different scenes\n")
        return 1
    plot(runs, labels, argv[1])
    print(table(runs, labels))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
