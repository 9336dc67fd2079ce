"""Prints the benchmark table from the runs scripts/bench.sh recorded.

    table.py RESULTS [NOTE]

RESULTS has one line per run: case, program, wall s, CPU s, peak KiB,
wineserver CPU s (or -), and ok/bad for the byte check (or -). Every figure
printed is the median over the runs of its case; the range beside a time is
the fastest and the slowest run.
"""
import statistics
import sys
from collections import defaultdict

SOURCES = {"winpipe": "Windows pipe", "unixpipe": "Unix pipe", "file": "disk file"}
DESTS = {"pipe": "pipe", "file": "disk file"}


def load(path):
    runs = defaultdict(list)
    for line in open(path):
        f = line.split()
        if len(f) != 7:
            continue
        runs[(f[0], f[1])].append({
            "wall": float(f[2]), "cpu": float(f[3]), "rss": int(f[4]) / 1024.0,
            "server": None if f[5] == "-" else float(f[5]), "ok": f[6],
        })
    return runs


def median(rows, field):
    values = [r[field] for r in rows if r[field] is not None]
    return statistics.median(values) if values else None


def spread(rows, field):
    values = [r[field] for r in rows]
    return "%.2f-%.2f" % (min(values), max(values)) if values else ""


def checks(*groups):
    rows = [r for g in groups for r in g if r["ok"] != "-"]
    if not rows:
        return "-"
    bad = sum(1 for r in rows if r["ok"] != "ok")
    return "ok %d/%d" % (len(rows), len(rows)) if bad == 0 else "BAD %d/%d" % (bad, len(rows))


def fmt(value, digits=3):
    return "-" if value is None else "%.*f" % (digits, value)


def ratio(a, b):
    return "-" if a is None or b is None or b == 0 else "%.2f" % (a / b)


def main():
    runs = load(sys.argv[1])
    header = ["case", "size", "tool", "tool s", "range", "minimal s", "range", "ratio",
              "tool MiB", "minimal MiB", "ratio", "bytes"]
    table = []

    def pair(case, size, key, tool, minimal, field="wall", compare=ratio):
        t, m = runs.get((key, tool), []), runs.get((key, minimal), [])
        if not t and not m:
            return
        tv, mv = median(t, field), median(m, field)
        tr, mr = median(t, "rss"), median(m, "rss")
        table.append([case, size, tool, fmt(tv), spread(t, field), fmt(mv), spread(m, field),
                      compare(tv, mv), fmt(tr, 1), fmt(mr, 1), ratio(tr, mr), checks(t, m)])

    def diff(a, b):
        return "-" if a is None or b is None else "%+.3f s" % (a - b)

    sizes = sorted({int(k.rsplit("-", 1)[1]) for k, _ in runs if k.startswith(("feed-", "fetch-"))})
    for mib in sizes:
        for source, name in SOURCES.items():
            pair("feed, " + name, "%d MiB" % mib, "feed-%s-%d" % (source, mib), "nvfeed", "min_feed")
        for dest, name in DESTS.items():
            pair("fetch to " + name, "%d MiB" % mib, "fetch-%s-%d" % (dest, mib), "nvfetch", "min_fetch")

    for source, name in (("unixpipe", "Unix pipe"), ("winpipe", "Windows pipe")):
        key = "idle-" + source
        pair("idle 2 s, %s: CPU" % name, "1 B", key, "nvfeed", "min_feed", "cpu", diff)
        t, m = runs.get((key, "nvfeed"), []), runs.get((key, "min_feed"), [])
        if t or m:
            tv, mv = median(t, "server"), median(m, "server")
            table.append(["  wineserver CPU meanwhile", "", "", fmt(tv), "", fmt(mv), "", diff(tv, mv),
                          "", "", "", ""])

    pair("start-up, nvfetch", "3 B", "startup", "nvfetch", "min_fetch")
    pair("start-up, nvfetch: CPU", "3 B", "startup", "nvfetch", "min_fetch", "cpu")
    noop = runs.get(("startup", "noop"), [])
    if noop:
        for label, field in (("", "wall"), (": CPU", "cpu")):
            table.append(["start-up, do-nothing program" + label, "", "noop", fmt(median(noop, field)),
                          spread(noop, field), "", "", "", fmt(median(noop, "rss"), 1), "", "", "-"])

    widths = [max(len(str(row[i])) for row in [header] + table) for i in range(len(header))]
    left = {0, 1, 2, 11}

    def line(row):
        return "  ".join(str(c).ljust(w) if i in left else str(c).rjust(w)
                         for i, (c, w) in enumerate(zip(row, widths))).rstrip()

    print(line(header))
    print("  ".join("-" * w for w in widths))
    for row in table:
        print(line(row))
    print()
    print("Times are wall seconds of the program's run (for a Windows pipe: from its start by")
    print("pipe_feed to its end); rows marked CPU give CPU seconds (user + system) instead,")
    print("idle rows with the difference in place of the ratio.")
    print("MiB: peak resident memory of the program's process. Each figure: median of the runs.")
    if len(sys.argv) > 2:
        print(sys.argv[2])


if __name__ == "__main__":
    main()
