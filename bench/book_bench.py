#!/usr/bin/env python3
"""Book benchmarks, in one run (timings here, never in tests):

  1. a million mixed closed-form trades, CSV to CSV with `lorvex price-book`:
     wall time and peak memory (the issue's bar: < 10 s, < 200 MB on 2 cores);
  2. a book of trees on 1 and 2 threads: the speed-up;
  3. trades x scenarios on a local Dask cluster of 1 and 2 worker processes:
     trades a second, against lorvex.price_book on this process.

  PYTHONPATH=build/release/python bench/book_bench.py build/release/bin/lorvex [--trades N] [--dask-trades N]
"""
import argparse
import os
import pathlib
import resource
import subprocess
import sys
import tempfile
import time

HERE = pathlib.Path(__file__).resolve().parent
EXAMPLES = HERE.parent / "examples"


def make_book(path, trades, kinds):
    with open(path, "w") as f:
        subprocess.run([sys.executable, str(HERE / "make_book.py"), str(trades), "--kinds", kinds], stdout=f,
                       check=True)


def run(cmd):
    """Wall seconds and the child's peak resident memory in MB."""
    start = time.perf_counter()
    child = subprocess.Popen(cmd, stdout=subprocess.DEVNULL)
    _, status, usage = os.wait4(child.pid, 0)
    if status != 0:
        raise SystemExit(f"failed: {' '.join(cmd)}")
    return time.perf_counter() - start, usage.ru_maxrss / 1024


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("lorvex")
    ap.add_argument("--trades", type=int, default=1_000_000)
    ap.add_argument("--tree-trades", type=int, default=2_000)
    ap.add_argument("--dask-trades", type=int, default=100_000)
    ap.add_argument("--scenarios", type=int, default=10)
    a = ap.parse_args()
    tmp = pathlib.Path(tempfile.mkdtemp(prefix="lorvex_book_bench"))
    curves = str(EXAMPLES / "curves.csv")
    common = ["--curves", curves, "--valuation", "2000-01-01", "--no-progress"]

    closed = tmp / "closed.csv"
    make_book(closed, a.trades, "closed")
    mb = closed.stat().st_size / 1e6
    seconds, peak = run([a.lorvex, "price-book", str(closed), *common, "--out", str(tmp / "out.csv")])
    print(f"closed forms: {a.trades} trades ({mb:.0f} MB) CSV to CSV in {seconds:.2f} s "
          f"({a.trades / seconds:,.0f} trades/s), peak memory {peak:.0f} MB")

    trees = tmp / "trees.csv"
    make_book(trees, a.tree_trades, "trees")
    t1, _ = run([a.lorvex, "price-book", str(trees), *common, "--threads", "1", "--out", str(tmp / "t1.csv")])
    t2, _ = run([a.lorvex, "price-book", str(trees), *common, "--threads", "2", "--out", str(tmp / "t2.csv")])
    same = (tmp / "t1.csv").read_bytes() == (tmp / "t2.csv").read_bytes()
    print(f"trees: {a.tree_trades} trades, 1 thread {t1:.2f} s, 2 threads {t2:.2f} s, speed-up {t1 / t2:.2f}x, "
          f"identical output {same}")

    import pandas as pd

    import lorvex
    import lorvex.dask
    from dask.distributed import Client, LocalCluster

    book = tmp / "dask.csv"
    make_book(book, a.dask_trades, "closed")
    trades = pd.read_csv(book, dtype=str, keep_default_na=False)
    curves_df = pd.read_csv(curves)
    scenarios = pd.DataFrame({"scenario": [f"s{i}" for i in range(a.scenarios)], "curve": "", "date": "",
                              "shift_bp": [5 * i - 25 for i in range(a.scenarios)]})
    priced = a.dask_trades * a.scenarios
    for threads in (1, 2):
        start = time.perf_counter()
        local = lorvex.price_book(trades, curves_df, "2000-01-01", scenarios=scenarios, threads=threads)
        seconds = time.perf_counter() - start
        print(f"local lorvex.price_book, {threads} thread(s): {priced} prices in {seconds:.2f} s "
              f"({priced / seconds:,.0f}/s)")
    for workers in (1, 2):
        with LocalCluster(n_workers=workers, threads_per_worker=1, processes=True, dashboard_address=None) as cl, \
                Client(cl) as client:
            start = time.perf_counter()
            spread = lorvex.dask.price_book(trades, curves_df, "2000-01-01", scenarios=scenarios, client=client,
                                            partition_rows=10_000)
            seconds = time.perf_counter() - start
        pd.testing.assert_frame_equal(spread, local)
        print(f"dask, {workers} worker process(es): {priced} prices in {seconds:.2f} s ({priced / seconds:,.0f}/s), "
              "identical to local")


if __name__ == "__main__":
    main()
