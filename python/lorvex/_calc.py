"""One Python function per calculation, generated from the C++ API's own list.

The compiled module describes each calculation's arguments (name, kind,
default, words of a choice) in the API's order; this file turns the Python
arguments into one float64 column each, broadcast to one shape, and hands
the columns to the compiled loop.
"""
import enum
import inspect
from collections import namedtuple

import numpy as np

from . import _docs, _lorvex
from ._dates import to_serial
from ._errors import LorvexError
from ._market import as_curve, as_dividends

EquityResult = namedtuple("EquityResult", "value delta gamma theta")
EquityResult.__doc__ = "Equity option value and Greeks: value, delta (dV/dS), gamma (d2V/dS2), theta (per calendar day)."

# Numeric arguments whose C++ default of 0 is a sensible default in Python
# too; the other numeric arguments defaulting to 0 must be given.
_OPTIONAL_ZEROS = {"dividend_yield", "mean_reversion", "elapsed", "observed_average", "cash"}
_DATES = {"valuation"}
_DISPLAYS = {"tree_bond_display", "equity_tree_display"}


def _is_series(value):
    return hasattr(value, "to_numpy") and hasattr(value, "index") and not hasattr(value, "columns")


def _numbers(name, value, kind):
    if name in _DATES:
        return to_serial(name, value)
    if isinstance(value, (list, tuple)):
        value = np.asarray(value)
    if isinstance(value, np.ndarray):
        if value.dtype.kind not in "biuf":
            raise TypeError(f"{name}: numbers are expected, not an array of {value.dtype}")
        return value.astype(np.float64, copy=False)
    if isinstance(value, (bool, int, float, np.bool_, np.integer, np.floating)):
        return np.asarray(value, dtype=np.float64)
    what = "bool" if kind == "flag" else "a number"
    raise TypeError(f"{name}: {what} is expected, not {type(value).__name__}")


def _choice(name, value, words):
    if isinstance(value, enum.Enum):
        value = value.value
    if isinstance(value, str):
        if value not in words:
            raise LorvexError(-9, name, f"'{value}' is not one of {', '.join(words)}")
        return np.asarray(float(words.index(value)))
    if isinstance(value, (list, tuple)):
        value = np.asarray([v.value if isinstance(v, enum.Enum) else v for v in value], dtype=object)
    if isinstance(value, np.ndarray) and value.dtype.kind in "OUS":
        unique, inverse = np.unique(value.astype(str), return_inverse=True)
        codes = np.empty(len(unique))
        for k, word in enumerate(unique):
            if word not in words:
                raise LorvexError(-9, name, f"'{word}' is not one of {', '.join(words)}")
            codes[k] = words.index(word)
        return codes[inverse].reshape(value.shape)
    raise TypeError(f"{name}: one of {', '.join(repr(w) for w in words)} is expected, "
                    f"not {type(value).__name__}")


TreeLimits = namedtuple("TreeLimits", "memory_bytes work_nodes", defaults=(2147483648.0, 0.0))
TreeLimits.__doc__ = ("Limits on a Hull-White tree, checked from its size estimate before it is built: "
                      "memory_bytes of storage and work_nodes of work in node-maturities (0 keeps the "
                      "library's default of 1.6e9, about 2 seconds at most); a tree beyond either is refused "
                      "with status -1, the message naming the estimate.")


def _limits(value):
    if isinstance(value, dict):
        unknown = set(value) - set(TreeLimits._fields)
        if unknown:
            raise TypeError(f"limits: unknown field {sorted(unknown)[0]!r} (memory_bytes, work_nodes)")
        value = TreeLimits(**value)
    if not isinstance(value, tuple) or len(value) != 2:
        raise TypeError("limits: a lorvex.TreeLimits(memory_bytes, work_nodes) or a dict of them is expected")
    return [_numbers(f"limits.{field}", v, "real") for field, v in zip(TreeLimits._fields, value)]


class _Calculation:
    """Converts and broadcasts the arguments of one calculation."""

    def __init__(self, name):
        self.name = name
        self.fields = [(f[0], f[1], f[2], list(f[3])) for f in _lorvex.arguments[name]]
        self.market = _lorvex.markets[name]
        self.kernel = getattr(_lorvex, "_" + name)

    def columns(self, values):
        """Float64 columns, the broadcast shape and the pandas index, if any."""
        arrays, index = [], None
        for name, kind, _, words in self.fields:
            value = values[name]
            if _is_series(value):
                if index is None:
                    index = value.index
                elif not index.equals(value.index):
                    raise ValueError(f"{name}: its index differs from another argument's")
                value = value.to_numpy()
            if kind == "choice":
                arrays.append(_choice(name, value, words))
            elif kind == "limits":
                arrays.extend(_limits(value))
            else:
                arrays.append(_numbers(name, value, kind))
        # Every argument is a float64 array here; single values stay one
        # value, the C++ loop reading them for every element.
        if all(a.ndim == 0 for a in arrays):
            return [a.reshape(1) for a in arrays], (), index
        shape = np.broadcast_shapes(*(a.shape for a in arrays))
        columns = [a.reshape(1) if a.size == 1 else np.ascontiguousarray(np.broadcast_to(a, shape)).reshape(-1)
                   for a in arrays]
        return columns, shape, index

    def market_value(self, values):
        if self.market == "curve":
            return as_curve(values["curve"])
        if self.market == "dividends":
            return as_dividends(values["dividends"])
        return None


def _signature(calc):
    params = []
    for name, kind, default, _ in calc.fields:
        annotation = {"real": "float | ArrayLike", "integer": "int | ArrayLike", "flag": "bool | ArrayLike",
                      "choice": "str | ArrayLike", "limits": "TreeLimits | dict"}[kind]
        if kind == "limits":
            default = TreeLimits(*default)
        if name in _DATES:
            annotation = "DateLike | ArrayLike"
        required = kind in ("real", "integer") and default == 0 and name not in _OPTIONAL_ZEROS
        params.append(inspect.Parameter(name, inspect.Parameter.KEYWORD_ONLY,
                                        default=inspect.Parameter.empty if required else default,
                                        annotation=annotation))
    if calc.market == "curve":
        params.append(inspect.Parameter("curve", inspect.Parameter.KEYWORD_ONLY, annotation="Curve"))
    elif calc.market == "dividends":
        params.append(inspect.Parameter("dividends", inspect.Parameter.KEYWORD_ONLY, default=None,
                                        annotation="Dividends | None"))
    if calc.name not in _DISPLAYS:
        params.append(inspect.Parameter("threads", inspect.Parameter.KEYWORD_ONLY, default=None,
                                        annotation="int | None"))
        params.append(inspect.Parameter("errors", inspect.Parameter.KEYWORD_ONLY, default="raise",
                                        annotation="str"))
        params.append(inspect.Parameter("return_status", inspect.Parameter.KEYWORD_ONLY, default=False,
                                        annotation="bool"))
    return params


# Elements worth a thread of their own: a tree takes microseconds to
# milliseconds, a closed form a fraction of a microsecond, less than
# starting a thread costs.
_TREES = {"tree_bond_option", "tree_swaption", "tree_cap", "bond_tree_rate_delta", "cap_tree_rate_delta",
          "equity_option"}


_CORES = _lorvex.hardware_threads()


def _threads(threads, name, n):
    grain = 1 if name in _TREES else 4096
    most = max(1, -(-n // grain))
    if threads is None:
        return min(_CORES, most)
    if isinstance(threads, (bool, np.bool_)) or not isinstance(threads, (int, np.integer)):
        raise TypeError(f"threads: an int is expected, not {type(threads).__name__}")
    if threads < 1:
        raise LorvexError(-9, "threads", f"{threads} is below 1")
    return min(int(threads), most)


def make_function(name):
    calc = _Calculation(name)
    params = _signature(calc)
    returns_several = _lorvex.output_counts.get(name, 1) > 1
    if name in _DISPLAYS:
        returns = "a TreeBondDisplay" if name == "tree_bond_display" else "an EquityTreeDisplay"
        returns += " (arrays and DataFrames of the tree, .svg() for the picture)"
    elif returns_several:
        returns = ("EquityResult(value, delta, gamma, theta) for scalars; a dict of arrays of the arguments' "
                   "shape for arrays; a DataFrame for pandas input")
    else:
        returns = "float for scalars; an array of the arguments' broadcast shape; a Series for pandas input"
    signature = inspect.Signature(params, return_annotation=returns)

    defaults = {p.name: p.default for p in params if p.default is not p.empty}
    required = {p.name for p in params if p.default is p.empty}
    known = set(defaults) | required

    def function(*args, **kwargs):
        # The signature's rules, checked by hand: inspect's binding costs
        # more than a closed-form price.
        if args:
            raise TypeError(f"{name}() takes keyword arguments only")
        if not known.issuperset(kwargs):
            unknown = sorted(set(kwargs) - known)[0]
            raise TypeError(f"{name}() got an unexpected keyword argument '{unknown}'")
        if not required.issubset(kwargs):
            missing = ", ".join(sorted(required - set(kwargs)))
            raise TypeError(f"{name}() missing required keyword arguments: {missing}")
        values = defaults | kwargs
        market = calc.market_value(values)
        if name in _DISPLAYS:
            return _display(calc, values, market)
        errors = values["errors"]
        if errors not in ("raise", "nan"):
            raise LorvexError(-9, "errors", f"'{errors}' is not one of raise, nan")
        return_status = bool(values["return_status"])
        columns, shape, index = calc.columns(values)
        n = int(np.prod(shape, dtype=np.int64))
        stop = errors == "raise" and not return_status
        outputs, status, failure = calc.kernel(columns, n, market, _threads(values["threads"], name, n), stop)
        if failure is not None and errors == "raise":
            position = None if shape == () else tuple(int(k) for k in np.unravel_index(failure[0], shape))
            raise LorvexError(failure[1], failure[2], failure[3], position)
        outputs = [o.reshape(shape) for o in outputs]
        status = status.reshape(shape)
        if index is not None:
            import pandas as pd
            if returns_several:
                result = pd.DataFrame(dict(zip(EquityResult._fields, outputs)), index=index)
            else:
                result = pd.Series(outputs[0], index=index, name=name)
            status = pd.Series(status, index=index, name="status")
        elif shape == ():
            result = EquityResult(*(float(o) for o in outputs)) if returns_several else float(outputs[0])
            status = int(status)
        else:
            result = dict(zip(EquityResult._fields, outputs)) if returns_several else outputs[0]
        return (result, status) if return_status else result

    function.__name__ = function.__qualname__ = name
    function.__module__ = "lorvex"
    function.__signature__ = signature
    function.__doc__ = _docs.docstring(name, params, returns)
    function.__annotations__ = {p.name: p.annotation for p in params} | {"return": returns}
    return function


def _display(calc, values, market):
    from ._display import EquityTreeDisplay, TreeBondDisplay
    columns, shape, _ = calc.columns(values)
    if shape != ():
        raise TypeError(f"{calc.name}: every argument must be a single value")
    scalars = [float(c[0]) for c in columns]
    shown = ", ".join(f"{f[0]}={v:g}" if f[1] != "choice" else f"{f[0]}={f[3][int(v)]}"
                      for f, v in zip((f for f in calc.fields if f[1] != "limits"), scalars))
    result = calc.kernel(scalars, market, f"{calc.name}  {shown}")
    cls = TreeBondDisplay if calc.name == "tree_bond_display" else EquityTreeDisplay
    return cls(result)
