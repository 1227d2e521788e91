#!/usr/bin/python3
"""`zantrel-cli load` of a month's duplicate against pandas' read_csv of the same month's
plain chart file, in one run.

The month (172,800 temperature and humidity readings, one every 15 seconds) is uploaded from
zantrel-sim with `zantrel-cli upload`, which writes the chart file and its duplicate. Then:
the whole `zantrel-cli load` process (wall time, median of a few runs, and its peak memory from
/usr/bin/time -v), and `pandas.read_csv` of the plain chart file inside this process (median of
a few runs; pandas imported beforehand). Needs Debian's python3-pandas
(ZANTREL_BENCH=1 scripts/setup.sh installs it).

Usage: bench/cli_load_bench.py [build-dir]
"""

import os
import re
import statistics
import subprocess
import sys
import tempfile
import time


READINGS = 172800
PERIOD_SECONDS = 15
RUNS = 7


def upload_month(build, folder, readings=READINGS, first="2026-10-01 00:00:00",
                 name="month.csv"):
    """Uploads `readings` T+RH readings from `first` on into `name` (and its duplicate)."""
    sim = subprocess.Popen(
        [os.path.join(build, "sim", "zantrel-sim"), "--channel1", "rh",
         "--readings", str(readings), "--period", str(PERIOD_SECONDS), "--first", first],
        stdout=subprocess.PIPE, text=True)
    try:
        device = sim.stdout.readline().strip()
        chart = os.path.join(folder, name)
        started = time.perf_counter()
        subprocess.run([os.path.join(build, "zantrel-cli"), "upload", "--port", device,
                        "--out", chart], cwd=folder, check=True, stderr=subprocess.DEVNULL)
        print(f"uploaded {readings} readings from zantrel-sim into {name} in "
              f"{time.perf_counter() - started:.1f} s (unpaced)")
        return chart
    finally:
        sim.terminate()
        sim.wait()


def peak_memory_kb(command, folder):
    """The peak resident memory of one whole run of `command`, from /usr/bin/time -v."""
    report = subprocess.run(["/usr/bin/time", "-v"] + command, cwd=folder, check=True,
                            capture_output=True, text=True).stderr
    return int(re.search(r"Maximum resident set size \(kbytes\): (\d+)", report).group(1))


def time_cli(build, folder, arguments, runs=RUNS):
    """Wall times of `runs` whole zantrel-cli processes, one run's peak memory and its output."""
    command = [os.path.join(build, "zantrel-cli")] + arguments
    walls = []
    for _ in range(runs):
        started = time.perf_counter()
        subprocess.run(command, cwd=folder, check=True, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        walls.append(time.perf_counter() - started)
    peak_kb = peak_memory_kb(command, folder)
    summary = subprocess.run(command, cwd=folder, check=True, capture_output=True,
                             text=True).stdout
    return walls, peak_kb, summary


def time_pandas(chart):
    import pandas  # only here, so other benchmarks can reuse this file without it
    walls = []
    for _ in range(RUNS):
        started = time.perf_counter()
        frame = pandas.read_csv(chart, comment="~", header=None, skipinitialspace=True)
        walls.append(time.perf_counter() - started)
    return walls, len(frame)


def main():
    build = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else "build")
    with tempfile.TemporaryDirectory() as folder:
        chart = upload_month(build, folder)
        duplicate = os.path.splitext(chart)[0] + ".zlx"
        sizes = f"{os.path.getsize(chart) / 1e6:.1f} MB chart file, " \
                f"{os.path.getsize(duplicate) / 1e6:.1f} MB duplicate"
        cli_walls, peak_kb, summary = time_cli(build, folder, ["load", duplicate])
        pandas_walls, rows = time_pandas(chart)
    cli = statistics.median(cli_walls)
    pandas_time = statistics.median(pandas_walls)
    print(f"month: {READINGS} T+RH rows, {sizes}")
    print(f"zantrel-cli load (whole process)  {cli * 1000:.0f} ms median of {RUNS} "
          f"({min(cli_walls) * 1000:.0f} to {max(cli_walls) * 1000:.0f}), "
          f"peak memory {peak_kb / 1024:.0f} MB")
    print(f"pandas read_csv (in process)      {pandas_time * 1000:.0f} ms median of {RUNS} "
          f"({min(pandas_walls) * 1000:.0f} to {max(pandas_walls) * 1000:.0f}), {rows} rows")
    print(f"ratio cli / pandas                {cli / pandas_time:.2f}")
    print("cli summary: " + " | ".join(summary.strip().splitlines()))


if __name__ == "__main__":
    main()
