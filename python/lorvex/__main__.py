"""python3 -m lorvex price-book TRADES --curves CURVES --valuation DATE [options]

The command's price-book from Python: on this machine with the C++ book
engine, or on a Dask cluster with --scheduler tcp://HOST:8786.
"""
import argparse
import sys


def main(argv=None):
    parser = argparse.ArgumentParser(prog="python3 -m lorvex")
    sub = parser.add_subparsers(dest="command", required=True)
    book = sub.add_parser("price-book", help="price a book of trades from a CSV file")
    book.add_argument("trades")
    book.add_argument("--curves", required=True)
    book.add_argument("--valuation", required=True)
    book.add_argument("--out", help="results file (default: stdout)")
    book.add_argument("--json", action="store_true", help="a JSON array of result objects instead of CSV")
    book.add_argument("--threads", type=int, default=0)
    book.add_argument("--risk", help="dv01, keyrate or dv01,keyrate")
    book.add_argument("--bump-bp", type=float, default=1.0,
                      help="risk bump in basis points, results per 1 bp (0.01 for a tree's own slope)")
    book.add_argument("--scenarios", help="scenarios CSV: scenario,curve,date,shift_bp")
    book.add_argument("--scheduler", help="a Dask scheduler's address, tcp://HOST:8786")
    book.add_argument("--partition-rows", type=int, default=10_000)
    args = parser.parse_args(argv)

    import pandas as pd

    from . import BookFileError, price_book

    def read(path):
        with open(path, encoding="utf-8") as f:
            return f.read()

    try:
        trades, curves = read(args.trades), read(args.curves)
        scenarios = read(args.scenarios) if args.scenarios else None
        if args.scheduler:
            import io

            from dask.distributed import Client

            from . import dask as lorvex_dask

            frame = pd.read_csv(io.StringIO(trades), dtype=str, keep_default_na=False)
            scen = None if scenarios is None else pd.read_csv(io.StringIO(scenarios), dtype=str,
                                                              keep_default_na=False)
            with Client(args.scheduler) as client:
                result = lorvex_dask.price_book(frame, pd.read_csv(io.StringIO(curves), dtype=str), args.valuation,
                                                scenarios=scen, risk=args.risk, client=client,
                                                partition_rows=args.partition_rows, bump_bp=args.bump_bp)
        else:
            result = price_book(trades, curves, args.valuation, risk=args.risk, scenarios=scenarios,
                                threads=args.threads, bump_bp=args.bump_bp)
    except (BookFileError, OSError, ValueError) as e:
        print(f"python3 -m lorvex price-book: {e}", file=sys.stderr)
        return 2
    out = args.out or sys.stdout
    if args.json:
        result.to_json(out, orient="records", indent=None)
    else:
        result.to_csv(out, index=False, lineterminator="\n")
    failed = int((result["status"] != 0).sum())
    if args.out or failed:
        print(f"python3 -m lorvex price-book: {len(result)} results, {failed} failed", file=sys.stderr)
    return 0


if __name__ == "__main__":
    sys.exit(main())
