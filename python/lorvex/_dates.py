"""Dates as the library counts them: spreadsheet serial day numbers.

Serial 36526 is 1 January 2000; a serial is the number of days since
30 December 1899, so 1 January 1970 is 25569. Accepted everywhere a date is:
a number (taken as a serial), datetime.date / datetime.datetime /
pandas.Timestamp, numpy.datetime64, an ISO string ("2000-01-01"), or an
array / list / pandas Series of any of these.
"""
import datetime

import numpy as np

_EPOCH = datetime.date(1899, 12, 30)
_UNIX_EPOCH_SERIAL = 25569  # 1970-01-01


def _one(name, value):
    if isinstance(value, (bool, np.bool_)):
        raise TypeError(f"{name}: a date is expected, not a bool")
    if isinstance(value, (int, float, np.integer, np.floating)):
        return float(value)
    if isinstance(value, datetime.datetime):
        value = value.date()
    if isinstance(value, datetime.date):
        return float((value - _EPOCH).days)
    if isinstance(value, np.datetime64):
        if np.isnat(value):
            return float("nan")
        return float(value.astype("datetime64[D]").astype(np.int64) + _UNIX_EPOCH_SERIAL)
    if isinstance(value, str):
        try:
            day = np.datetime64(value.strip(), "D")
        except ValueError:
            raise TypeError(f"{name}: {value!r} is not an ISO date (YYYY-MM-DD)") from None
        return _one(name, day)
    raise TypeError(f"{name}: {type(value).__name__} is not a date "
                    "(serial number, datetime.date, numpy.datetime64 or ISO string)")


def to_serial(name, value):
    """The serial(s) of `value` as a float64 array (0-d for one date)."""
    if isinstance(value, (list, tuple)):
        value = np.asarray(value) if value else np.zeros(0)
    if hasattr(value, "to_numpy") and not isinstance(value, np.ndarray):
        value = value.to_numpy()
    if isinstance(value, np.ndarray):
        kind = value.dtype.kind
        if kind in "iuf":
            return value.astype(np.float64)
        if kind == "M":
            days = value.astype("datetime64[D]")
            out = days.astype(np.int64).astype(np.float64) + _UNIX_EPOCH_SERIAL
            out[np.isnat(days)] = np.nan
            return out
        if kind in "OUS":
            flat = [_one(name, v) for v in value.ravel()]
            return np.asarray(flat, dtype=np.float64).reshape(value.shape)
        raise TypeError(f"{name}: an array of {value.dtype} is not dates")
    return np.asarray(_one(name, value), dtype=np.float64)


def date_from_serial(serial):
    """The datetime.date of a serial day number."""
    return _EPOCH + datetime.timedelta(days=int(serial))
