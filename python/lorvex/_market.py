"""Market data: the zero curve and a stock's cash dividends."""
from __future__ import annotations

import numpy as np

from . import _lorvex
from ._dates import to_serial


def _reals(name, values):
    if hasattr(values, "to_numpy") and not isinstance(values, np.ndarray):
        values = values.to_numpy()
    array = np.asarray(values)
    if array.dtype.kind not in "biuf":
        raise TypeError(f"{name}: numbers are expected, not {array.dtype}")
    return np.ascontiguousarray(array, dtype=np.float64).ravel()


class Curve(_lorvex.Curve):
    """A zero curve: (date, zero rate) points.

    Rates are continuously compounded on actual/365, as decimals (0.05 is
    5 %). Points in any order are sorted by date, a repeated date keeps the
    first rate given, rates are linear in the date between points and flat
    beyond the first and last.

    Curve(dates, rates)   dates: serials, datetime.date, numpy.datetime64,
                          ISO strings, or arrays / lists / Series of them
    Curve(series)         a pandas Series of rates indexed by date
    Curve(frame)          a pandas DataFrame with columns date and rate
                          (otherwise its first two columns)
    Curve.flat(rate)      one rate at every date
    """

    def __init__(self, dates, rates=None) -> None:
        if rates is None:
            if hasattr(dates, "columns"):
                frame = dates
                names = list(frame.columns)
                date_col = "date" if "date" in names else names[0]
                rate_col = "rate" if "rate" in names else names[1]
                dates, rates = frame[date_col], frame[rate_col]
            elif hasattr(dates, "index") and hasattr(dates, "to_numpy"):
                dates, rates = dates.index, dates.to_numpy()
            else:
                raise TypeError("curve: give dates and rates, a Series of rates indexed by date, "
                                "or a DataFrame with columns date and rate")
        if hasattr(dates, "to_numpy") and not isinstance(dates, np.ndarray):
            dates = dates.to_numpy()
        serials = np.ascontiguousarray(to_serial("curve", dates), dtype=np.float64).ravel()
        super().__init__(serials, _reals("curve", rates))

    @classmethod
    def flat(cls, rate: float) -> Curve:
        """A curve with one rate at every date."""
        return cls([0.0], [float(rate)])

    @property
    def dates(self) -> np.ndarray:
        """Pillar dates as serials, ascending."""
        return self._points()[0]

    @property
    def rates(self) -> np.ndarray:
        """Zero rates at the pillars."""
        return self._points()[1]

    def rate(self, date) -> float | np.ndarray:
        """The zero rate at a date (any date form; arrays give arrays)."""
        serials = to_serial("date", date)
        out = self._rates(np.ascontiguousarray(serials, dtype=np.float64).ravel())
        return float(out[0]) if serials.ndim == 0 else out.reshape(serials.shape)

    def to_frame(self) -> "pandas.DataFrame":
        """The points as a pandas DataFrame with columns date (datetime64) and rate."""
        import pandas as pd
        dates, rates = self._points()
        return pd.DataFrame({"date": np.datetime64("1899-12-30") + dates.astype("timedelta64[D]"),
                             "rate": rates})

    def __reduce__(self):
        # Pickled as its points, so a curve travels to other processes.
        return (type(self), self._points())

    def __repr__(self):
        dates, rates = self._points()
        body = ", ".join(f"{d:g}: {r:g}" for d, r in zip(dates[:4], rates[:4]))
        more = ", ..." if len(dates) > 4 else ""
        return f"lorvex.Curve({{{body}{more}}})"


class Dividends(_lorvex.Dividends):
    """A stock's cash dividends: (time in years from today, cash amount) points.

    Dividends(times, amounts), or Dividends(frame) with columns time and
    amount (otherwise its first two columns).
    """

    def __init__(self, times, amounts=None) -> None:
        if amounts is None:
            if not hasattr(times, "columns"):
                raise TypeError("dividends: give times and amounts, or a DataFrame with columns time and amount")
            names = list(times.columns)
            frame = times
            times = frame["time" if "time" in names else names[0]]
            amounts = frame["amount" if "amount" in names else names[1]]
        super().__init__(_reals("dividends", times), _reals("dividends", amounts))

    @property
    def times(self) -> np.ndarray:
        return self._points()[0]

    @property
    def amounts(self) -> np.ndarray:
        return self._points()[1]

    def __reduce__(self):
        return (type(self), self._points())

    def __repr__(self):
        times, amounts = self._points()
        return "lorvex.Dividends({" + ", ".join(f"{t:g}: {a:g}" for t, a in zip(times, amounts)) + "})"


def as_curve(value):
    if isinstance(value, _lorvex.Curve):
        return value
    if value is None:
        raise TypeError("curve: a lorvex.Curve is required")
    if hasattr(value, "columns") or hasattr(value, "index"):
        return Curve(value)
    if isinstance(value, tuple) and len(value) == 2:
        return Curve(*value)
    raise TypeError(f"curve: {type(value).__name__} is not a lorvex.Curve")


def as_dividends(value):
    if value is None or isinstance(value, _lorvex.Dividends):
        return value
    if hasattr(value, "columns"):
        return Dividends(value)
    if isinstance(value, tuple) and len(value) == 2:
        return Dividends(*value)
    raise TypeError(f"dividends: {type(value).__name__} is not lorvex.Dividends")
