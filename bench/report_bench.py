#!/usr/bin/python3
"""`zantrel-cli report` of a month and of a year as whole processes, beside `zantrel-cli stats`
of the same files with the same options, and the peak memory of each.

The year (2026, one T+RH reading every 15 seconds) is uploaded month by month from zantrel-sim
as bench/cli_year_bench.py does; the month is its April (30 days, 172,800 readings). Each
figure is the median wall time of a few runs of the whole process (the report written to a
PDF in the year folder, its pages counted with poppler's pdfinfo) and one run's peak resident
memory from /usr/bin/time -v.

Usage: bench/report_bench.py [build-dir [year-folder]]

With a year folder the twelve months are uploaded into it once and reused by later runs.
"""

import os
import re
import statistics
import subprocess

from cli_load_bench import time_cli
from cli_year_bench import run, upload_year

RUNS = 3
OPTIONS = ["--low", "2", "--high", "8", "--delay", "10"]


def page_count(pdf):
    info = subprocess.run(["pdfinfo", pdf], check=True, capture_output=True, text=True).stdout
    return int(re.search(r"^Pages:\s+(\d+)$", info, re.MULTILINE).group(1))


def line(label, walls, peak_kb, extra=""):
    return (f"{label:40s}{statistics.median(walls) * 1000:7.0f} ms median of {RUNS} "
            f"({min(walls) * 1000:.0f} to {max(walls) * 1000:.0f}), "
            f"peak memory {peak_kb / 1024:.0f} MB{extra}")


def measure(build, folder):
    duplicates, _ = upload_year(build, folder)
    pdf = os.path.join(folder, "report.pdf")
    print()
    for label, files in (("month (April 2026, 172,800 readings)", [duplicates[3]]),
                         ("year (12 monthly duplicates)", duplicates)):
        report_walls, report_kb, _ = time_cli(
            build, folder, ["report"] + files + ["--out", pdf] + OPTIONS, RUNS)
        pages = page_count(pdf)
        size = os.path.getsize(pdf) / 1e3
        stats_walls, stats_kb, _ = time_cli(build, folder, ["stats"] + files + OPTIONS, RUNS)
        print(label)
        print(line("  zantrel-cli report (whole process)", report_walls, report_kb,
                   f", {pages} pages, {size:.0f} kB"))
        print(line("  zantrel-cli stats (whole process)", stats_walls, stats_kb))
    print(f"load average {os.getloadavg()[0]:.2f} on {os.cpu_count()} cores")


if __name__ == "__main__":
    run(measure)
