"""Benchmarks of the lorvex Python package (make python-bench).

    PYTHONPATH=build/release/python /usr/bin/python3 bench/python_bench.py \
        build/release/liblorvex.so [--trees N]

1. Vectorised overhead: 1,000,000 barrier prices from arrays against the same
   loop in C++ over lorvex::barrier (build/release/bench/lorvex_barrier_loop).
2. 100,000 bond prices of one valuation date, maturities from 0.5 to 2, 10
   and 30 years: one vectorised call against a Python loop calling the
   HW_BondPrice export through ctypes.
3. Threads: equity-tree prices at N = 100 with threads=1 and threads=2.

Each timing is the best of a few runs, all in one process, so the ratios
compare like with like on a machine shared with other work.
"""
import argparse
import ctypes
import os
import subprocess
import sys
import time

import numpy as np

import lorvex

HERE = os.path.dirname(os.path.abspath(__file__))


def best(function, runs=3):
    times = []
    for _ in range(runs):
        start = time.perf_counter()
        function()
        times.append(time.perf_counter() - start)
    return min(times)


def barrier_overhead(loop_program, n=1_000_000):
    spots = np.linspace(50, 150, n)
    terms = dict(strike=100, rate=0.05, expiry=1, dividend_yield=0.02, barrier=120, volatility=0.25,
                 barrier_type="up-out", option="call")
    python = best(lambda: lorvex.barrier(spot=spots, **terms, threads=1))
    cxx = min(float(subprocess.run([loop_program, str(n)], check=True, capture_output=True, text=True)
                    .stdout.split()[0]) for _ in range(3))
    print(f"barrier x {n:,}: vectorised (1 thread) {python:.3f} s, C++ loop {cxx:.3f} s, "
          f"ratio {python / cxx:.2f}, overhead {(python - cxx) / n * 1e9:.0f} ns per element")


def bonds_against_ctypes(library, longest, n=100_000):
    lib = ctypes.CDLL(library)

    class Bound(ctypes.Structure):
        _fields_ = [("cElements", ctypes.c_uint32), ("lLbound", ctypes.c_int32)]

    lib.SafeArrayCreate.restype = ctypes.c_void_p
    lib.SafeArrayCreate.argtypes = [ctypes.c_uint16, ctypes.c_uint, ctypes.POINTER(Bound)]
    lib.SafeArrayPutElement.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_int32), ctypes.c_void_p]
    lib.HW_BondPrice.argtypes = [ctypes.c_int32, ctypes.c_double, ctypes.c_double, ctypes.c_double, ctypes.c_int32,
                                 ctypes.POINTER(ctypes.c_void_p), ctypes.POINTER(ctypes.c_double)]
    rows = [(36526, 0.045), (37622, 0.05), (40179, 0.055), (47484, 0.06)]
    psa = ctypes.c_void_p(lib.SafeArrayCreate(5, 2, (Bound * 2)((len(rows), 0), (2, 0))))
    for i, row in enumerate(rows):
        for j, v in enumerate(row):
            lib.SafeArrayPutElement(psa, (ctypes.c_int32 * 2)(i, j), ctypes.byref(ctypes.c_double(v)))
    curve = lorvex.Curve(*zip(*rows))
    maturities = np.linspace(0.5, longest, n)
    coupons = np.linspace(0.01, 0.08, n)

    def python_loop():
        out = np.empty(n)
        price = ctypes.c_double()
        for i in range(n):
            lib.HW_BondPrice(36526, maturities[i], coupons[i], 100.0, 2, ctypes.byref(psa), ctypes.byref(price))
            out[i] = price.value
        return out

    loop = best(python_loop, runs=1)
    one = best(lambda: lorvex.bond_price(valuation=36526, maturity=maturities, coupon=coupons, curve=curve,
                                         threads=1))
    many = best(lambda: lorvex.bond_price(valuation=36526, maturity=maturities, coupon=coupons, curve=curve))
    assert np.array_equal(python_loop(), lorvex.bond_price(valuation=36526, maturity=maturities, coupon=coupons,
                                                           curve=curve))
    print(f"bond_price x {n:,} (0.5 to {longest} years): ctypes loop {loop:.3f} s, vectorised {one:.4f} s (1 thread, {loop / one:.0f}x), "
          f"{many:.4f} s (all {lorvex._lorvex.hardware_threads()} threads, {loop / many:.0f}x)")


def tree_threads(n):
    spots = np.linspace(80, 120, n)
    terms = dict(strike=100, rate=0.05, expiry=1, dividend_yield=0.01, volatility=0.25, steps=100,
                 exercise="american", option="put")
    one = best(lambda: lorvex.equity_option(spot=spots, **terms, threads=1), runs=2)
    two = best(lambda: lorvex.equity_option(spot=spots, **terms, threads=2), runs=2)
    print(f"equity_option N=100 x {n:,}: threads=1 {one:.2f} s, threads=2 {two:.2f} s, speed-up {one / two:.2f}x "
          f"({one / n * 1e6:.1f} us per tree)")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("library", help="liblorvex.so")
    parser.add_argument("--loop", default=None, help="lorvex_barrier_loop (default: beside the library)")
    parser.add_argument("--trees", type=int, default=1_000_000, help="equity trees to price (default 1,000,000)")
    args = parser.parse_args()
    loop = args.loop or os.path.join(os.path.dirname(os.path.abspath(args.library)), "bench", "lorvex_barrier_loop")
    # Threads can only speed up what the other programs on the machine leave
    # of its cores: the load average says how much that was.
    print(f"python {sys.version.split()[0]}, numpy {np.__version__}, {os.cpu_count()} cores, "
          f"load average {os.getloadavg()[0]:.1f}")
    barrier_overhead(loop)
    # Short bonds show the call overhead, long ones the pricing (a coupon
    # discounted per half year, from factors remembered across the array).
    bonds_against_ctypes(args.library, 2)
    bonds_against_ctypes(args.library, 10)
    bonds_against_ctypes(args.library, 30)
    tree_threads(args.trees)
    print(f"load average {os.getloadavg()[0]:.1f}")


if __name__ == "__main__":
    main()
