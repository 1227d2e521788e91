#!/usr/bin/python3
"""`zantrel-cli archive` of a month into SQLite and into PostgreSQL, and of a year into SQLite,
side by side with Python's sqlite3 `executemany` and `psql \\copy` of the same rows, in one run.

The year (2026, one T+RH reading every 15 seconds) is uploaded month by month from zantrel-sim
as bench/cli_year_bench.py does; the month is its April (172,800 readings). Every run writes
into an empty archive: a new SQLite file, or a new PostgreSQL database on a throwaway server
that this script starts (initdb and pg_ctl on a Unix socket in a temporary folder, as the
postgres user when run as root) and stops. The same rows are then taken out of Zantrel's
archive and written again by the others: executemany of the rows into the same table in one
transaction, and psql's \\copy of them as CSV. Each figure is the median wall time of a few runs
of the whole process (Python's executemany in this process, the database opened and the rows
ready beforehand) and the peak resident memory of one run.

Usage: bench/archive_bench.py [build-dir [year-folder]]
"""

import os
import resource
import shutil
import sqlite3
import statistics
import subprocess
import tempfile
import time

from cli_load_bench import peak_memory_kb
from cli_year_bench import run, upload_year

RUNS = 3
PG_BIN = "/usr/lib/postgresql/15/bin"
OFFSET = ["--utc-offset", "+01:00"]
COLUMNS = ("unit, channel, time_utc, location, user_name, local_time, celsius, rh, new_sensor, "
           "temp_alarm_start, rh_alarm_start, temp_alarm_end, rh_alarm_end, test_start, "
           "test_end, gap")


class PostgresServer:
    """A throwaway PostgreSQL 15 cluster with its socket in a temporary folder."""

    def __init__(self):
        self.folder = tempfile.mkdtemp(prefix="zantrel-archive-bench-")
        self.root = os.geteuid() == 0
        if self.root:
            shutil.chown(self.folder, "postgres", "postgres")
        self._server("initdb", "-D", self.data, "-U", "zantrel", "--auth=trust", "-E", "UTF8",
                     "--no-instructions")
        self._server("pg_ctl", "-D", self.data, "-l", os.path.join(self.folder, "log"), "-w",
                     "-o", f"-k {self.folder} -c listen_addresses=''", "start")

    @property
    def data(self):
        return os.path.join(self.folder, "data")

    def _server(self, program, *arguments):
        command = [os.path.join(PG_BIN, program), *arguments]
        if self.root:
            command = ["runuser", "-u", "postgres", "--"] + command
        subprocess.run(command, check=True, stdout=subprocess.DEVNULL)

    def psql(self, database, *arguments):
        return ["psql", "-X", "-q", "-v", "ON_ERROR_STOP=1", "-h", self.folder, "-U", "zantrel",
                "-d", database, *arguments]

    def fresh(self, database):
        """An empty database of that name; its URL."""
        for sql in (f"DROP DATABASE IF EXISTS {database}", f"CREATE DATABASE {database}"):
            subprocess.run(self.psql("postgres", "-c", sql), check=True)
        return f"postgresql://zantrel@/{database}?host={self.folder}"

    def stop(self):
        self._server("pg_ctl", "-D", self.data, "-w", "-m", "fast", "stop")
        shutil.rmtree(self.folder, ignore_errors=True)


def timed(command, folder, prepare):
    """Wall times of RUNS whole processes, each after prepare(), and one run's peak memory."""
    walls = []
    for _ in range(RUNS):
        prepare()
        started = time.perf_counter()
        subprocess.run(command, cwd=folder, check=True, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL)
        walls.append(time.perf_counter() - started)
    prepare()
    return walls, peak_memory_kb(command, folder)


def zantrel(build, folder, files, url, prepare):
    return timed([os.path.join(build, "zantrel-cli"), "archive", *files, "--to", url] + OFFSET,
                 folder, prepare)


def archived_rows(database):
    with sqlite3.connect(database) as db:
        # The table and its time index, as Zantrel keeps them up to date while it writes.
        schema = [sql for (sql,) in db.execute(
            "SELECT sql FROM sqlite_master WHERE tbl_name = 'readings' AND sql IS NOT NULL "
            "ORDER BY type DESC")]
        return schema, db.execute(f"SELECT {COLUMNS} FROM readings ORDER BY time_utc").fetchall()


def executemany(folder, schema, rows):
    """Python's sqlite3: one prepared INSERT, every row, one transaction, into a new file (the
    same table, its index, WAL mode and synchronous=NORMAL, as Zantrel opens it), and the file
    closed."""
    walls = []
    for _ in range(RUNS):
        path = os.path.join(folder, "python.db")
        for suffix in ("", "-wal", "-shm"):
            if os.path.exists(path + suffix):
                os.remove(path + suffix)
        db = sqlite3.connect(path)
        db.execute("PRAGMA journal_mode=WAL")
        db.execute("PRAGMA synchronous=NORMAL")
        for sql in schema:
            db.execute(sql)
        started = time.perf_counter()
        with db:
            db.executemany(f"INSERT INTO readings ({COLUMNS}) VALUES ({','.join('?' * 16)}) "
                           "ON CONFLICT DO NOTHING", rows)
        db.close()  # as the zantrel-cli process closes its file
        walls.append(time.perf_counter() - started)
    return walls, resource.getrusage(resource.RUSAGE_SELF).ru_maxrss


def copy(server, folder, rows):
    """psql \\copy of the same rows as CSV into the table Zantrel made, emptied before each run."""
    path = os.path.join(folder, "rows.csv")

    def field(value):  # texts quoted (so an empty one is no NULL), NULL as nothing
        if value is None:
            return ""
        if isinstance(value, str):
            return '"' + value.replace('"', '""') + '"'
        return str(value)

    with open(path, "w") as out:
        for row in rows:
            out.write(",".join([field(v) for v in row[:15]] + ["t" if row[15] else "f"]) + "\n")
    truncate = server.psql("copy_bench", "-c", "TRUNCATE readings")
    command = server.psql("copy_bench", "-c", f"\\copy readings ({COLUMNS}) FROM '{path}' CSV")
    return timed(command, folder, lambda: subprocess.run(truncate, check=True))


def line(label, walls, peak_kb, rows):
    median = statistics.median(walls)
    return (f"  {label:38s}{median * 1000:7.0f} ms median of {RUNS} "
            f"({min(walls) * 1000:.0f} to {max(walls) * 1000:.0f}), "
            f"{rows / median / 1000:5.0f} k rows/s, peak memory {peak_kb / 1024:.0f} MB")


def sqlite_prepare(path):
    def prepare():
        for suffix in ("", "-wal", "-shm"):
            if os.path.exists(path + suffix):
                os.remove(path + suffix)
    return prepare


def verdict(ours, theirs, name):
    faster = statistics.median(ours) <= statistics.median(theirs)
    return f"no slower than {name}: {'yes' if faster else 'NO'}"


def measure(build, folder):
    duplicates, _ = upload_year(build, folder)
    server = PostgresServer()
    try:
        print()
        for label, files in (("month (April 2026)", [duplicates[3]]),
                             ("year (12 monthly duplicates)", duplicates)):
            database = os.path.join(folder, "archive.db")
            ours, ours_kb = zantrel(build, folder, files, "sqlite:" + database,
                                    sqlite_prepare(database))
            again, _ = timed([os.path.join(build, "zantrel-cli"), "archive", *files, "--to",
                              "sqlite:" + database] + OFFSET, folder, lambda: None)
            schema, rows = archived_rows(database)
            python, python_kb = executemany(folder, schema, rows)
            print(f"{label}: {len(rows)} rows, SQLite")
            print(line("zantrel-cli archive (whole process)", ours, ours_kb, len(rows)))
            print(line("  the same files again (nothing new)", again, ours_kb, len(rows)))
            print(line("python sqlite3 executemany", python, python_kb, len(rows)))
            print("  " + verdict(ours, python, "executemany"))
            if len(files) > 1:
                continue
            url = "postgresql://zantrel@/{}?host=" + server.folder
            pg, pg_kb = zantrel(build, folder, files, url.format("zantrel_bench"),
                                lambda: server.fresh("zantrel_bench"))
            server.fresh("copy_bench")
            subprocess.run([os.path.join(build, "zantrel-cli"), "archive", files[0], "--to",
                            url.format("copy_bench")] + OFFSET, check=True,
                           stdout=subprocess.DEVNULL, cwd=folder)
            psql, psql_kb = copy(server, folder, rows)
            print(f"{label}: {len(rows)} rows, PostgreSQL 15")
            print(line("zantrel-cli archive (whole process)", pg, pg_kb, len(rows)))
            print(line("psql \\copy (whole process)", psql, psql_kb, len(rows)))
            print("  " + verdict(pg, psql, "psql \\copy"))
        print(f"load average {os.getloadavg()[0]:.2f} on {os.cpu_count()} cores")
    finally:
        server.stop()


if __name__ == "__main__":
    run(measure)
