#!/usr/bin/python3
"""Bulk adds through the Python module against the same AddLine calls in C++: ROWS lines
(default ten million) from float64 arrays into a fresh control, the add loop alone timed on
each side, RUNS rounds taking turns (default 5), medians and the ratio of the rates (goal:
Python at least 0.8 of C++).

    bench/python_adds.py BUILD [ROWS] [RUNS]

BUILD is a Release build with -DTRAZO_BENCH=ON -DTRAZO_PYTHON=ON (python_adds_baseline and
the module).
"""
import os
import statistics
import subprocess
import sys
import tempfile
import time

import numpy as np


def main():
    build = os.path.abspath(sys.argv[1])
    rows = int(sys.argv[2]) if len(sys.argv) > 2 else 10_000_000
    runs = int(sys.argv[3]) if len(sys.argv) > 3 else 5
    sys.path.insert(0, os.path.join(build, "shells", "python"))
    import trazo

    rng = np.random.default_rng(20240601)
    x1, y1 = rng.uniform(0, 1600, rows), rng.uniform(0, 900, rows)
    x2, y2 = x1 + rng.uniform(-60, 60, rows), y1 + rng.uniform(-60, 60, rows)
    col, lType = rng.integers(1, 7, rows, dtype=np.int32), rng.integers(0, 4, rows, dtype=np.int32)
    baseline = os.path.join(build, "shells", "python", "python_adds_baseline")
    python_times, cpp_times = [], []
    with tempfile.NamedTemporaryFile(suffix=".columns") as columns:
        for column in (x1, y1, x2, y2, col, lType):
            columns.write(column.tobytes())
        columns.flush()
        for _ in range(runs):
            control = trazo.Trazo()
            start = time.perf_counter()
            control.add_lines(x1, y1, x2, y2, col, lType)
            python_times.append(time.perf_counter() - start)
            assert control.Count == rows
            del control
            done = subprocess.run([baseline, columns.name, str(rows)], check=True, capture_output=True, text=True)
            cpp_times.append(float(done.stdout))
    p, c = statistics.median(python_times), statistics.median(cpp_times)
    print(f"rows: {rows}, runs: {runs}")
    print(f"python add_lines  median {p:.3f} s  {rows / p / 1e6:.1f} M adds/s  (runs: {' '.join(f'{t:.3f}' for t in python_times)})")
    print(f"C++ AddLine loop  median {c:.3f} s  {rows / c / 1e6:.1f} M adds/s  (runs: {' '.join(f'{t:.3f}' for t in cpp_times)})")
    print(f"rate python / C++: {c / p:.2f} (goal: at least 0.8)")


if __name__ == "__main__":
    main()
