#!/usr/bin/env python3
"""Writes a mixed book of trades as a lorvex book CSV (deterministic).

  bench/make_book.py TRADES [--kinds closed|trees|all] [--seed S] > book.csv

closed: bonds, Black and Hull-White closed forms and the exotics; trees: the
Hull-White tree options and equity tree options; all: both. Curves named USD
and EUR, as in examples/curves.csv.
"""
import argparse
import random
import sys

COLUMNS = ("id,type,curve,maturity,coupon,face,frequency,expiry,strike,volatility,option,"
           "strike_quote,fixed_rate,notional,start,cap_rate,mean_reversion,exercise,steps,"
           "steps_per_year,step_parameter,tree,spot,rate,dividend_yield,barrier,barrier_type,"
           "underlying_strike,underlying_expiry,underlying,observed_max,observed_min,"
           "observed_average,elapsed,choose_at,cash,payoff,dividends").split(",")

CLOSED = ["bond_price", "black_bond_option", "black_swaption", "black_cap", "hw_bond_option",
          "hw_swaption", "hw_cap", "barrier", "compound", "lookback", "asian", "chooser", "binary"]
TREES = ["tree_bond_option", "tree_swaption", "tree_cap", "equity_option"]


def trade(r, i, kind):
    t = {"id": f"T{i:07d}", "type": kind}
    pick = r.choice
    rnd = lambda a, b, n=4: round(r.uniform(a, b), n)
    if kind in ("bond_price", "black_bond_option", "hw_bond_option", "tree_bond_option"):
        t.update(curve=pick(["USD", "EUR"]), maturity=rnd(1, 20, 2), coupon=rnd(0.02, 0.08),
                 face=100, frequency=pick([1, 2, 4]))
        if kind != "bond_price":
            t.update(expiry=rnd(0.25, 0.9 * t["maturity"] if t["maturity"] < 3 else 3, 2),
                     strike=rnd(90, 110, 2), option=pick(["call", "put"]),
                     strike_quote=pick(["clean", "dirty"]))
            t["volatility"] = rnd(0.05, 0.2) if kind == "black_bond_option" else rnd(0.005, 0.015)
        if kind in ("hw_bond_option", "tree_bond_option"):
            t["mean_reversion"] = rnd(0.01, 0.2)
        if kind == "tree_bond_option":
            t.update(exercise=pick(["european", "american"]), steps=pick([50, 100, 200]),
                     tree=pick(["normal", "lognormal"]))
    elif kind in ("black_swaption", "hw_swaption", "tree_swaption"):
        t.update(curve=pick(["USD", "EUR"]), expiry=rnd(0.5, 5, 2), fixed_rate=rnd(0.03, 0.07),
                 notional=pick([100, 1000000]), frequency=pick([1, 2]), option=pick(["payer", "receiver"]))
        t["maturity"] = round(t["expiry"] + r.choice([2, 5, 10]), 2)
        t["volatility"] = rnd(0.1, 0.3) if kind == "black_swaption" else rnd(0.005, 0.015)
        if kind != "black_swaption":
            t["mean_reversion"] = rnd(0.01, 0.2)
        if kind == "tree_swaption":
            t.update(steps_per_year=pick([10, 20]), tree="normal")
    elif kind in ("black_cap", "hw_cap", "tree_cap"):
        t.update(curve=pick(["USD", "EUR"]), start=pick([0.25, 0.5, 1]), cap_rate=rnd(0.03, 0.07),
                 notional=pick([100, 1000000]), frequency=pick([2, 4]), option=pick(["cap", "floor"]))
        t["maturity"] = round(t["start"] + r.choice([2, 5, 10]), 2)
        t["volatility"] = rnd(0.1, 0.3) if kind == "black_cap" else rnd(0.005, 0.015)
        if kind != "black_cap":
            t["mean_reversion"] = rnd(0.01, 0.2)
        if kind == "tree_cap":
            t.update(step_parameter=pick([2, 5]), tree="normal")
    else:
        t.update(spot=rnd(80, 120, 2), rate=rnd(0.01, 0.08), dividend_yield=rnd(0, 0.04),
                 volatility=rnd(0.15, 0.4), expiry=rnd(0.25, 2, 2))
        if kind in ("equity_option", "barrier", "asian", "binary", "chooser", "compound"):
            t["strike"] = rnd(80, 120, 2)
        if kind not in ("chooser",):
            t["option"] = pick(["call", "put"])
        if kind == "equity_option":
            t.update(steps=pick([200, 500]), exercise=pick(["european", "american"]))
            if i % 2:  # every other one pays two cash dividends of 1 % of the spot
                cash = round(t["spot"] * 0.01, 2)
                t["dividends"] = f"{round(t['expiry'] / 3, 3)}:{cash};{round(2 * t['expiry'] / 3, 3)}:{cash}"
        elif kind == "barrier":
            t["barrier_type"] = pick(["down-out", "down-in", "up-out", "up-in"])
            t["barrier"] = round(t["spot"] * (0.85 if "down" in t["barrier_type"] else 1.15), 2)
        elif kind == "compound":
            t.update(strike=rnd(2, 8, 2), underlying_strike=rnd(90, 110, 2),
                     underlying_expiry=round(t["expiry"] + 0.5, 2), underlying=pick(["call", "put"]))
        elif kind == "lookback":
            t.update(observed_max=round(t["spot"] * 1.05, 2), observed_min=round(t["spot"] * 0.95, 2))
        elif kind == "asian":
            t.update(observed_average=t["spot"], elapsed=rnd(0, 0.5, 2))
        elif kind == "chooser":
            t["choose_at"] = round(t["expiry"] / 2, 3)
        elif kind == "binary":
            t.update(cash=10, payoff=pick(["cash", "asset"]))
    return t


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("trades", type=int)
    ap.add_argument("--kinds", choices=["closed", "trees", "all"], default="all")
    ap.add_argument("--seed", type=int, default=18)
    a = ap.parse_args()
    kinds = {"closed": CLOSED, "trees": TREES, "all": CLOSED + TREES}[a.kinds]
    r = random.Random(a.seed)
    w = sys.stdout.write
    w(",".join(COLUMNS) + "\n")
    for i in range(a.trades):
        t = trade(r, i + 1, kinds[i % len(kinds)])
        w(",".join(str(t.get(c, "")) for c in COLUMNS) + "\n")


if __name__ == "__main__":
    main()
