#!/usr/bin/python3
"""`zantrel-cli stats` of a year in twelve monthly duplicates against pandas reading the twelve
plain chart files and computing min/max/mean, in one run.

The year (2026, one T+RH reading every 15 seconds, about 2.1 million rows) is uploaded month by
month from zantrel-sim with `zantrel-cli upload`, which writes each month's chart file and
duplicate (T1yyyymmsite.csv and .zlx). Then: the whole `zantrel-cli stats` process over the
twelve duplicates (wall time, median of a few runs, and its peak memory), the same for `load`
(which builds the whole chart in memory), and pandas in this process (imported beforehand):
`read_csv` of the twelve plain files, concatenated, and the temperature's min, max and mean.
Needs Debian's python3-pandas (ZANTREL_BENCH=1 scripts/setup.sh installs it).

Usage: bench/cli_year_bench.py [build-dir [year-folder]]

With a year folder the twelve months are uploaded into it once and reused by later runs (an
upload of the year takes far longer than the figures it is for).
"""

import calendar
import os
import statistics
import sys
import tempfile
import time


from cli_load_bench import PERIOD_SECONDS, time_cli, upload_month

YEAR = 2026
RUNS = 5


def upload_year(build, folder):
    """The twelve months' duplicates and plain chart files, uploading those not there yet."""
    duplicates, plain = [], []
    for month in range(1, 13):
        days = calendar.monthrange(YEAR, month)[1]
        chart = os.path.join(folder, f"T1{YEAR}{month:02d}site.csv")
        duplicate = os.path.splitext(chart)[0] + ".zlx"
        if not (os.path.exists(chart) and os.path.exists(duplicate)):
            upload_month(build, folder, readings=days * 86400 // PERIOD_SECONDS,
                         first=f"{YEAR}-{month:02d}-01 00:00:00", name=os.path.basename(chart))
        plain.append(chart)
        duplicates.append(duplicate)
    return duplicates, plain


def time_pandas(plain):
    import pandas  # only here, so other benchmarks can reuse this file without it
    walls = []
    for _ in range(RUNS):
        started = time.perf_counter()
        frame = pandas.concat(
            pandas.read_csv(chart, comment="~", header=None, skipinitialspace=True)
            for chart in plain)
        celsius = frame[1][frame[1] < 9999]
        figures = (celsius.min(), celsius.max(), celsius.mean())
        walls.append(time.perf_counter() - started)
    return walls, len(frame), figures


def line(label, walls, extra=""):
    median = statistics.median(walls)
    return (f"{label:36s}{median * 1000:6.0f} ms median of {RUNS} "
            f"({min(walls) * 1000:.0f} to {max(walls) * 1000:.0f}){extra}")


def measure(build, folder):
    duplicates, plain = upload_year(build, folder)
    size = sum(os.path.getsize(d) for d in duplicates) / 1e6
    load_before = os.getloadavg()[0]
    stats_walls, stats_kb, stats_out = time_cli(build, folder, ["stats"] + duplicates, RUNS)
    load_walls, load_kb, _ = time_cli(build, folder, ["load"] + duplicates, RUNS)
    pandas_walls, rows, figures = time_pandas(plain)
    print()
    print(f"year {YEAR}: {rows} T+RH rows in 12 monthly duplicates ({size:.0f} MB); "
          f"load average {load_before:.2f} before, {os.getloadavg()[0]:.2f} after "
          f"on {os.cpu_count()} cores")
    print(line("zantrel-cli stats (whole process)", stats_walls,
               f", peak memory {stats_kb / 1024:.0f} MB"))
    print(line("zantrel-cli load (whole process)", load_walls,
               f", peak memory {load_kb / 1024:.0f} MB"))
    print(line("pandas read_csv + min/max/mean", pandas_walls,
               f", min {figures[0]:.2f} max {figures[1]:.2f} mean {figures[2]:.3f}"))
    stats_median = statistics.median(stats_walls)
    ratio = stats_median / statistics.median(pandas_walls)
    print(f"{'ratio stats / pandas':36s}{ratio:6.2f}")
    verdict = [("stats under 1 s", stats_median < 1.0), ("at most half of pandas", ratio <= 0.5),
               ("peak memory under 300 MB", max(stats_kb, load_kb) < 300 * 1024)]
    print("targets: " + ", ".join(f"{name} {'yes' if met else 'NO'}" for name, met in verdict))
    print("stats: " + " | ".join(stats_out.strip().splitlines()[:8]))


def run(measure_year):
    """Runs measure_year(build, folder) with the build folder and the year folder given on the
    command line, or a temporary year folder when none is."""
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
    if len(sys.argv) > 2:
        os.makedirs(sys.argv[2], exist_ok=True)
        measure_year(build, os.path.abspath(sys.argv[2]))
        return
    with tempfile.TemporaryDirectory() as folder:
        measure_year(build, folder)


if __name__ == "__main__":
    run(measure)
