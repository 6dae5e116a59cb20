"""The independent path: the C exports of liblorvex called through ctypes.

LORVEX_LIBRARY names the library (ctest sets it to the build's
liblorvex.so). Each export is described once: its C name and its arguments
in order, each read from the Python keyword arguments of the matching
calculation, flags compared with 1 as the exports do.
"""
import ctypes
import os

import pytest

VT_R8 = 5


class SafeArrayBound(ctypes.Structure):
    _fields_ = [("cElements", ctypes.c_uint32), ("lLbound", ctypes.c_int32)]


def _flag(word):
    return lambda v: 1 if v == word else 0


def _code(table):
    return lambda v: table[v]


KIND = _code({"normal": 0, "lognormal": 1, "shape": 2})
# (export, [(C type, argument or market, conversion)], outputs)
D, I = ctypes.c_double, ctypes.c_int32
EXPORTS = {
    "bond_price": ("HW_BondPrice", [(I, "valuation"), (D, "maturity"), (D, "coupon"), (D, "face"),
                                    (I, "frequency"), "curve"], 1),
    "black_bond_option": ("HW_BlackBondOption", [
        (I, "valuation"), (D, "maturity"), (D, "coupon"), (D, "face"), (I, "frequency"), (D, "expiry"),
        (D, "strike"), (D, "volatility"), (I, "option", _flag("call")), (I, "strike_quote", _flag("clean")),
        "curve"], 1),
    "black_swaption": ("HW_BlackSwapOption", [
        (I, "valuation"), (D, "expiry"), (D, "maturity"), (D, "fixed_rate"), (D, "notional"), (I, "frequency"),
        (D, "volatility"), (I, "option", _flag("receiver")), "curve"], 1),
    "black_cap": ("HW_BlackCap", [
        (I, "valuation"), (D, "start"), (D, "maturity"), (D, "cap_rate"), (D, "notional"), (I, "frequency"),
        (D, "volatility"), (I, "option", _flag("cap")), "curve"], 1),
    "hw_bond_option": ("HW_HullWhiteBondOption", [
        (I, "valuation"), (D, "maturity"), (D, "coupon"), (D, "face"), (I, "frequency"), (D, "expiry"),
        (D, "strike"), (D, "volatility"), (D, "mean_reversion"), (I, "option", _flag("call")),
        (I, "strike_quote", _flag("clean")), "curve"], 1),
    "hw_swaption": ("HW_HullWhiteSwapOption", [
        (I, "valuation"), (D, "expiry"), (D, "maturity"), (D, "fixed_rate"), (D, "notional"), (I, "frequency"),
        (D, "volatility"), (D, "mean_reversion"), (I, "option", _flag("receiver")), "curve"], 1),
    "hw_cap": ("HW_HullWhiteCap", [
        (I, "valuation"), (D, "start"), (D, "maturity"), (D, "cap_rate"), (D, "notional"), (I, "frequency"),
        (D, "volatility"), (D, "mean_reversion"), (I, "option", _flag("cap")), "curve"], 1),
    "tree_bond_option": ("HW_TreeBondOption", [
        (I, "valuation"), (D, "maturity"), (D, "coupon"), (D, "face"), (I, "frequency"), (D, "expiry"),
        (D, "strike"), (I, "option", _flag("call")), (I, "exercise", _flag("american")),
        (I, "strike_quote", _flag("clean")), "curve", (D, "volatility"), (D, "mean_reversion"), (I, "steps"),
        (I, "tree", KIND)], 1),
    "tree_swaption": ("HW_TreeSwapOption", [
        (I, "valuation"), (D, "maturity"), (D, "expiry"), (D, "fixed_rate"), (D, "notional"), (I, "frequency"),
        (I, "option", _flag("receiver")), "curve", (D, "volatility"), (D, "mean_reversion"),
        (I, "steps_per_year"), (I, "tree", KIND)], 1),
    "tree_cap": ("HW_TreeCap", [
        (I, "valuation"), (D, "maturity"), (D, "start"), (D, "cap_rate"), (D, "notional"), (I, "frequency"),
        (I, "option", _flag("cap")), "curve", (D, "volatility"), (D, "mean_reversion"), (I, "step_parameter"),
        (I, "tree", KIND)], 1),
    "bond_tree_rate_delta": ("HW_BondTreeRateDelta", [
        (I, "valuation"), (D, "maturity"), (D, "expiry"), "curve", (D, "volatility"), (D, "mean_reversion"),
        (I, "steps"), (I, "tree", KIND)], 1),
    "cap_tree_rate_delta": ("HW_CapTreeRateDelta", [
        (I, "valuation"), (D, "start"), (D, "maturity"), (I, "frequency"), "curve", (D, "volatility"),
        (D, "mean_reversion"), (I, "step_parameter"), (I, "tree", KIND)], 1),
    "equity_option": ("HW_TreeEquityOpt", [
        (D, "spot"), (D, "strike"), (D, "rate"), (D, "expiry"), (D, "dividend_yield"), "dividends",
        (D, "volatility"), (I, "steps"), (I, "exercise", _flag("american")), (I, "option", _flag("call")),
        (I, "use_dividends", lambda v: int(bool(v)))], 4),
    "barrier": ("HW_barrier_compute", [
        (D, "spot"), (D, "strike"), (D, "rate"), (D, "expiry"), (D, "dividend_yield"), (D, "barrier"),
        (D, "volatility"), (I, "barrier_type", _code({"up-in": 5, "up-out": 6, "down-in": 7, "down-out": 8})),
        (I, "option", _flag("call"))], 1),
    "compound": ("HW_compound_compute", [
        (D, "spot"), (D, "strike"), (D, "underlying_strike"), (D, "rate"), (D, "dividend_yield"),
        (D, "volatility"), (D, "expiry"), (D, "underlying_expiry"),
        (I, "underlying", _code({"call": 12, "put": 13})), (I, "option", _flag("call"))], 1),
    "lookback": ("HW_lookback_compute", [
        (D, "spot"), (D, "rate"), (D, "dividend_yield"), (D, "volatility"), (D, "expiry"), (D, "observed_max"),
        (D, "observed_min"), (I, "option", _flag("call"))], 1),
    "asian": ("HW_avgopt_compute", [
        (D, "spot"), (D, "strike"), (D, "rate"), (D, "dividend_yield"), (D, "volatility"), (D, "expiry"),
        (D, "observed_average"), (D, "elapsed"), (I, "option", _flag("call"))], 1),
    "chooser": ("HW_chooser_compute", [
        (D, "spot"), (D, "strike"), (D, "rate"), (D, "dividend_yield"), (D, "volatility"), (D, "expiry"),
        (D, "choose_at")], 1),
    "binary": ("HW_binary_compute", [
        (D, "spot"), (D, "strike"), (D, "rate"), (D, "dividend_yield"), (D, "volatility"), (D, "expiry"),
        (D, "cash"), (I, "payoff", _code({"cash": 9, "asset": 10})), (I, "option", _flag("call"))], 1),
}


class Exports:
    def __init__(self, path):
        self.lib = ctypes.CDLL(path)
        self.lib.SafeArrayCreate.restype = ctypes.c_void_p
        self.lib.SafeArrayCreate.argtypes = [ctypes.c_uint16, ctypes.c_uint, ctypes.POINTER(SafeArrayBound)]
        self.lib.SafeArrayPutElement.argtypes = [ctypes.c_void_p, ctypes.POINTER(ctypes.c_int32), ctypes.c_void_p]
        self.lib.SafeArrayDestroy.argtypes = [ctypes.c_void_p]
        for name, (export, args, outputs) in EXPORTS.items():
            f = getattr(self.lib, export)
            f.restype = ctypes.c_int32
            f.argtypes = [a[0] if isinstance(a, tuple) else ctypes.POINTER(ctypes.c_void_p) for a in args] + \
                         [ctypes.POINTER(ctypes.c_double)] * outputs

    def array(self, rows):
        """A rows x 2 SAFEARRAY of doubles, as a spreadsheet passes a range."""
        bounds = (SafeArrayBound * 2)((len(rows), 0), (2, 0))
        psa = self.lib.SafeArrayCreate(VT_R8, 2, bounds)
        for i, row in enumerate(rows):
            for j, v in enumerate(row):
                idx = (ctypes.c_int32 * 2)(i, j)
                value = ctypes.c_double(v)
                self.lib.SafeArrayPutElement(psa, idx, ctypes.byref(value))
        return ctypes.c_void_p(psa)

    def call(self, name, kwargs, market_array):
        """(status, outputs) of the export of calculation `name`."""
        export, args, outputs = EXPORTS[name]
        values = []
        for a in args:
            if isinstance(a, str):
                values.append(ctypes.byref(market_array))
            else:
                convert = a[2] if len(a) > 2 else (int if a[0] is I else float)
                values.append(convert(kwargs[a[1]]))
        outs = [ctypes.c_double(0.0) for _ in range(outputs)]
        status = getattr(self.lib, export)(*values, *(ctypes.byref(o) for o in outs))
        return status, [o.value for o in outs]


@pytest.fixture(scope="session")
def exports():
    path = os.environ.get("LORVEX_LIBRARY")
    if not path:
        pytest.skip("LORVEX_LIBRARY does not name liblorvex")
    return Exports(path)
