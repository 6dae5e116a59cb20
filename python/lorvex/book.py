"""Books: a whole portfolio priced by the C++ book engine.

    results = lorvex.price_book(trades_df, curves_df, "2000-01-01", risk=["dv01", "keyrate"])

trades_df has the columns of a book file (id, type, the argument columns
named as the C++ API's arguments, optional curve); curves_df the columns
curve, date, rate; scenarios (optional) scenario, curve, date, shift_bp.
The result has the columns of `lorvex price-book`: id[, scenario], type,
value, status, message, delta, gamma, theta[, dv01][, keyrate_<date>...], one
row per trade (and scenario) in input order. A bad trade gets its status and
message in its row; a fault of a table's layout (an unknown or missing
column) raises BookFileError (a ValueError) naming the line and column.
"""
import io

import pandas as pd

from . import _book
from ._dates import to_serial

BookFileError = _book.BookFileError
CALCULATIONS = tuple(_book.calculations())


def _csv(frame):
    if isinstance(frame, (str, bytes)):
        return frame.decode() if isinstance(frame, bytes) else frame
    return frame.to_csv(index=False, lineterminator="\n")


def _risk(risk):
    if risk is None:
        return False, False
    words = [risk] if isinstance(risk, str) else list(risk)
    words = [w.strip() for word in words for w in word.split(",") if w.strip()]
    unknown = [w for w in words if w not in ("dv01", "keyrate")]
    if unknown:
        raise ValueError(f"risk: {unknown[0]!r} is not dv01 or keyrate")
    return "dv01" in words, "keyrate" in words


def _valuation(valuation):
    serial = float(to_serial("valuation", valuation))
    if serial != int(serial):
        raise ValueError(f"valuation: {valuation!r} is not a whole day")
    return int(serial)


def empty_result(risk=None, scenarios=False, keyrate_dates=()):
    dv01, keyrate = _risk(risk)
    columns = ["id"] + (["scenario"] if scenarios else []) + [
        "type", "value", "status", "message", "delta", "gamma", "theta"]
    columns += ["dv01"] if dv01 else []
    columns += [f"keyrate_{d}" for d in keyrate_dates] if keyrate else []
    return pd.DataFrame({c: pd.Series(dtype=object if c in ("id", "scenario", "type", "message") else float)
                         for c in columns})


def read_results(text):
    """A results CSV of the book engine as a DataFrame (ids and messages as
    text; numbers read back to the last bit the engine wrote)."""
    frame = pd.read_csv(io.BytesIO(text) if isinstance(text, bytes) else io.StringIO(text),
                        dtype={"id": str, "scenario": str, "type": str, "message": str, "status": "int64"},
                        keep_default_na=False, na_values={c: [""] for c in ("value", "delta", "gamma", "theta")},
                        float_precision="round_trip")
    for column in frame.columns:
        if column == "dv01" or column.startswith("keyrate_"):
            frame[column] = frame[column].replace("", "nan").astype(float)
    return frame


def price_book(trades, curves, valuation, risk=None, scenarios=None, threads=0, bump_bp=1.0):
    """Prices every trade of `trades` (under each scenario of `scenarios`).

    trades, curves, scenarios: pandas DataFrames or CSV texts.
    valuation: a date (serial, ISO text, datetime). risk: "dv01",
    "keyrate", both as a list or "dv01,keyrate". threads: 0 = all cores.
    bump_bp: the risk bump in basis points (above 0, at most 100); dv01 and
    the key rates are per 1 bp whatever the bump. A tree's value is
    piecewise linear in the rates, so 0.01 gives its own slope and key
    rates that add up to dv01.
    """
    dv01, keyrate = _risk(risk)
    serial = _valuation(valuation)
    if not isinstance(trades, (str, bytes)) and len(trades) == 0:
        return empty_result(risk, scenarios is not None)
    text, _, _ = _book.price_book_csv(_csv(trades), _csv(curves), serial, int(threads), dv01, keyrate,
                                      None if scenarios is None else _csv(scenarios), bump_bp=float(bump_bp))
    return read_results(text)
