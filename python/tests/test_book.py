"""Books from Python: the C++ book engine through lorvex.price_book, and the
same on a two-process Dask cluster, also when a worker dies mid-run."""
import os
import pathlib
import signal
import time

import numpy as np
import pandas as pd
import pytest

import lorvex
import lorvex.dask  # noqa: F401

EXAMPLES = pathlib.Path(__file__).resolve().parents[2] / "examples"
VALUATION = "2000-01-01"


@pytest.fixture(scope="module")
def book():
    return (pd.read_csv(EXAMPLES / "book.csv", dtype=str, keep_default_na=False),
            pd.read_csv(EXAMPLES / "curves.csv", float_precision="round_trip"))


def test_price_book_equals_the_single_calls(book):
    trades, curves = book
    result = lorvex.price_book(trades, curves, VALUATION)
    assert list(result.columns) == ["id", "type", "value", "status", "message", "delta", "gamma", "theta"]
    assert list(result["id"]) == list(trades["id"]) and (result["status"] == 0).all()
    bonds = trades[trades["type"] == "bond_price"]
    risk = lorvex.price_book(bonds, curves, VALUATION, risk=["dv01", "keyrate"])
    assert list(risk.columns[8:10]) == ["dv01", "keyrate_2000-04-01"] and len(risk.columns) == 20
    for name, rows in bonds.groupby("curve"):
        points = curves[curves["curve"] == name]
        want = lorvex.bond_price(valuation=VALUATION, maturity=rows["maturity"].astype(float),
                                 coupon=rows["coupon"].astype(float), face=rows["face"].astype(float),
                                 frequency=rows["frequency"].astype(int),
                                 curve=lorvex.Curve(list(points["date"]), list(points["rate"])))
        np.testing.assert_array_equal(result.loc[rows.index, "value"], want)
    equity = result[result["type"] == "equity_option"]
    assert equity[["delta", "gamma", "theta"]].notna().all().all()
    # A smaller bump, still per 1 bp: a bond's dv01 moves by third-order terms only.
    fine = lorvex.price_book(bonds, curves, VALUATION, risk="dv01", bump_bp=0.01)
    np.testing.assert_allclose(fine["dv01"], risk["dv01"], rtol=1e-6)
    with pytest.raises(ValueError, match="bump_bp"):
        lorvex.price_book(bonds, curves, VALUATION, risk="dv01", bump_bp=0)


def test_bad_rows_keep_the_book_and_bad_layouts_raise(book):
    _, curves = book
    trades = pd.DataFrame({"id": ["a", "b"], "type": ["bond_price", "swap"], "curve": ["USD", "USD"],
                           "maturity": ["five", "5"]})
    result = lorvex.price_book(trades, curves, VALUATION)
    assert list(result["status"]) == [-9, -9]
    assert list(result["message"]) == ["maturity: 'five' is not a number",
                                       "type: 'swap' is not a calculation of a book (bond_price ... binary, "
                                       "as in lorvex.hpp)"]
    with pytest.raises(lorvex.BookFileError, match="trades:1: column 3 'matruity' is not a book column"):
        lorvex.price_book(trades.rename(columns={"curve": "matruity"}), curves, VALUATION)


dask_distributed = pytest.importorskip("dask.distributed")


@pytest.fixture(scope="module")
def client():
    cluster = dask_distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                                            dashboard_address=None)
    with dask_distributed.Client(cluster) as c:
        yield c
    cluster.close()


SCENARIOS = pd.DataFrame({"scenario": ["base", "up", "down", "steep", "steep"],
                          "curve": ["", "", "", "USD", "EUR"],
                          "date": ["", "", "", "2030-01-01", "2030-01-01"],
                          "shift_bp": [0, 25, -25, 50, 40]})


def test_dask_equals_local_pricing(book, client):
    trades, curves = book
    closed = trades[~trades["type"].str.startswith("tree_") & (trades["type"] != "equity_option")]
    many = pd.concat([closed] * 8, ignore_index=True)  # 2,080 trades x 4 scenarios
    local = lorvex.price_book(many, curves, VALUATION, scenarios=SCENARIOS, risk="dv01")
    spread = lorvex.dask.price_book(many, curves, VALUATION, scenarios=SCENARIOS, risk="dv01", client=client,
                                    partition_rows=300, scenarios_per_task=3)
    pd.testing.assert_frame_equal(spread, local)


def test_a_killed_worker_loses_and_repeats_nothing(book, client):
    import lorvex.dask as lorvex_dask

    trades, curves = book
    trees = trades[trades["type"].isin(["tree_bond_option", "tree_swaption", "equity_option"])].head(30)
    local = lorvex.price_book(trees, curves, VALUATION, scenarios=SCENARIOS)
    handle = lorvex_dask.submit_book(trees, curves, VALUATION, scenarios=SCENARIOS, client=client,
                                     partition_rows=3, scenarios_per_task=2)
    futures = handle[0]
    deadline = time.monotonic() + 30
    while sum(f.done() for f in futures) < 2 and time.monotonic() < deadline:
        time.sleep(0.01)
    pids = client.run(os.getpid)
    os.kill(next(iter(pids.values())), signal.SIGKILL)
    assert sum(f.done() for f in futures) < len(futures), "the run ended before the worker was killed"
    pd.testing.assert_frame_equal(lorvex_dask.gather_book(client, handle), local)
