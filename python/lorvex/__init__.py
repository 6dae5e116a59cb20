"""lorvex: interest-rate and equity derivative pricing, vectorised over numpy and pandas.

Every calculation of the C++ API is a function here with the same name and
the same argument names, all keyword arguments:

    import lorvex
    curve = lorvex.Curve(["2000-01-01", "2005-01-01"], [0.045, 0.055])
    lorvex.bond_price(valuation="2000-01-01", maturity=2, coupon=0.06, curve=curve)

Units: dates are spreadsheet serials (36526 = 2000-01-01) or any date form;
times are years from the valuation date (365 days a year, whole days, halves
up); zero rates, yields and volatilities are decimals per year, zero rates
continuously compounded on actual/365.

Any numeric argument may be an array or a pandas Series: arguments broadcast
and the loop runs in C++ without the GIL, over threads (threads=, default
all cores). A refused argument raises LorvexError (a ValueError) carrying
the status, the argument's name and the message; errors="nan" puts NaN in
its place instead.
"""
import enum as _enum

from . import _lorvex
from ._calc import EquityResult, TreeLimits, make_function as _make_function
from ._dates import date_from_serial, to_serial
from ._display import EquityTreeDisplay, Lattice, TreeBondDisplay
from ._errors import LorvexError
from ._market import Curve, Dividends

__version__ = "0.1.0"


class _Choice(str, _enum.Enum):
    def __str__(self):
        return self.value


OptionType = _Choice("OptionType", {"CALL": "call", "PUT": "put"}, module=__name__)
SwaptionType = _Choice("SwaptionType", {"PAYER": "payer", "RECEIVER": "receiver"}, module=__name__)
CapType = _Choice("CapType", {"CAP": "cap", "FLOOR": "floor"}, module=__name__)
Exercise = _Choice("Exercise", {"EUROPEAN": "european", "AMERICAN": "american"}, module=__name__)
StrikeQuote = _Choice("StrikeQuote", {"CLEAN": "clean", "DIRTY": "dirty"}, module=__name__)
TreeKind = _Choice("TreeKind", {"NORMAL": "normal", "LOGNORMAL": "lognormal", "SHAPE": "shape"}, module=__name__)
BarrierType = _Choice("BarrierType", {"UP_IN": "up-in", "UP_OUT": "up-out", "DOWN_IN": "down-in",
                                      "DOWN_OUT": "down-out"}, module=__name__)
Payoff = _Choice("Payoff", {"CASH": "cash", "ASSET": "asset"}, module=__name__)


def status_text(status: int) -> str:
    """One line saying what a status code means."""
    return _lorvex.status_text(int(status))


# The calculations, named as in the C++ API (lorvex.hpp), in its order.
CALCULATIONS = tuple(_lorvex.arguments)
for _name in CALCULATIONS:
    globals()[_name] = _make_function(_name)
del _name

# Books: whole portfolios through the C++ book engine; lorvex.dask spreads
# them over a Dask cluster (imported on its own: Dask is optional).
from .book import BookFileError, price_book  # noqa: E402

__all__ = ["Curve", "Dividends", "LorvexError", "EquityResult", "TreeBondDisplay", "EquityTreeDisplay",
           "Lattice", "TreeLimits", "OptionType", "SwaptionType", "CapType", "Exercise", "StrikeQuote", "TreeKind",
           "BarrierType", "Payoff", "status_text", "price_book", "BookFileError", "to_serial", "date_from_serial", "CALCULATIONS",
           *CALCULATIONS]
