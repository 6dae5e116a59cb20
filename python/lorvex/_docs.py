"""What each calculation computes and what each argument means, for help()."""

# Shared meanings of the arguments, with their units.
ARGUMENTS = {
    "valuation": "valuation date: serial day number (36526 = 2000-01-01), datetime.date, "
                 "numpy.datetime64 or ISO string",
    "maturity": "years from the valuation date to the last payment (bond, swap, cap)",
    "expiry": "years from the valuation date to the option's expiry",
    "start": "years to the cap's first reset",
    "coupon": "the bond's annual coupon rate (0.06 = 6 %)",
    "face": "the bond's face; prices come in its units",
    "notional": "the swap's or cap's notional; values come in its units",
    "frequency": "payments a year: 1, 2, 4 or 12",
    "strike": "strike price (bond options: in the face's units)",
    "volatility": "volatility per square-root year of the stock's price",
    "threads": "threads the loop runs on (None: all cores)",
    "errors": "'raise' (the first refused element raises LorvexError) or 'nan' (NaN in its place)",
    "return_status": "also return each element's status (0 or the C export's negative code)",
    "mean_reversion": "Hull-White mean-reversion speed a, per year (0 allowed)",
    "fixed_rate": "the swap's fixed rate",
    "cap_rate": "the cap (floor) rate",
    "steps": "tree steps",
    "steps_per_year": "tree steps a year up to the expiry",
    "step_parameter": "the tree takes step_parameter / start steps a year, rounded, within 1 to 20",
    "limits": "lorvex.TreeLimits(memory_bytes, work_nodes), or a dict of them: the tree's storage in bytes "
              "and its work in node-maturities (0: the default of 1.6e9, about 2 seconds at most), checked "
              "before it is built (beyond either the tree is refused with status -1)",
    "tree": "the Hull-White tree's volatility form: 'normal', 'lognormal' or 'shape'",
    "exercise": "'european' or 'american'",
    "strike_quote": "'clean' (the accrued interest at expiry is added to the strike) or 'dirty'",
    "spot": "the stock's price today",
    "rate": "continuously compounded risk-free rate per year",
    "dividend_yield": "continuous dividend yield per year",
    "use_dividends": "whether the cash dividends are taken into account",
    "barrier": "the barrier level, watched continuously",
    "barrier_type": "'up-in', 'up-out', 'down-in' or 'down-out'",
    "underlying_strike": "strike of the underlying option",
    "underlying_expiry": "years to the underlying option's expiry",
    "underlying": "the underlying option: 'call' or 'put'",
    "observed_max": "highest price observed so far (the put's)",
    "observed_min": "lowest price observed so far (the call's)",
    "observed_average": "average of the prices already observed",
    "elapsed": "years already averaged",
    "choose_at": "years to the moment the holder picks the call or the put",
    "cash": "the amount a cash-or-nothing option pays",
    "payoff": "'cash' (cash-or-nothing) or 'asset' (asset-or-nothing)",
    "curve": "lorvex.Curve of zero rates (continuously compounded, actual/365), "
             "or a DataFrame with columns date and rate",
    "dividends": "lorvex.Dividends (years from today, cash amount), or None",
}

OPTION_WORDS = {
    ("call", "put"): "'call' or 'put'",
    ("payer", "receiver"): "'payer' (pay the fixed rate) or 'receiver'",
    ("cap", "floor"): "'cap' or 'floor'",
}

# One paragraph per calculation, as the README tells it.
SUMMARIES = {
    "bond_price": "Clean price of a coupon bond on the zero curve, in the face's units. Coupons are laid "
                  "backwards from the maturity; a frequency other than 1, 2, 4 or 12 lays no coupons "
                  "(the bond is worth 0).",
    "black_bond_option": "European call or put on a coupon bond under Black's model: the forward dirty "
                         "price is lognormal, its volatility the yield volatility times the yield times the "
                         "modified duration at the forward yield. Value in the face's units.",
    "black_swaption": "European payer or receiver swaption on a swap starting at expiry; the forward swap "
                      "rate is lognormal. Value in the notional's units.",
    "black_cap": "Cap or floor under Black's model: each caplet's simple forward rate is lognormal with "
                 "one flat volatility; caplets already reset are left out. Value in the notional's units.",
    "hw_bond_option": "European call or put on a coupon bond under one-factor Hull-White "
                      "dr = (theta(t) - a r) dt + sigma dW fitted to the curve, split into options on its "
                      "flows after expiry (Jamshidian). Value in the face's units.",
    "hw_swaption": "European swaption under Hull-White in closed form, as an option on the fixed leg "
                   "taken as a bond; receiver = call on the bond. Value in the notional's units.",
    "hw_cap": "Cap or floor under Hull-White in closed form: each caplet not yet reset is (1 + K tau) "
              "puts on the zero bond over its period. Value in the notional's units.",
    "tree_bond_option": "European or American call or put on a coupon bond on a Hull-White trinomial "
                        "tree fitted to the zero curve, with `steps` equal steps from the valuation date "
                        "to the expiry. Value in the face's units.",
    "tree_swaption": "European swaption on a Hull-White trinomial tree: the right, at expiry, to enter a "
                     "swap running to maturity. Value in the notional's units.",
    "tree_cap": "Cap or floor on a Hull-White trinomial tree. Value in the notional's units.",
    "bond_tree_rate_delta": "Short-rate spacing of tree_bond_option's tree one step after the valuation "
                            "date: rate of node 2 less rate of node 1.",
    "cap_tree_rate_delta": "Short-rate spacing of a cap's tree (step_parameter / maturity steps a year, "
                           "rounded, within 1 to 20) one step after the valuation date.",
    "tree_bond_display": "tree_bond_option's tree on at most 10 steps, for drawing: levels, nodes, the "
                         "last step's branching, and an SVG picture.",
    "equity_option": "Stock option on a Cox-Ross-Rubinstein binomial tree of `steps` steps (2 to "
                     "100,000), European or American, with a continuous yield and cash dividends. Returns "
                     "value, delta (dV/dS), gamma (d2V/dS2) and theta (per calendar day).",
    "equity_tree_display": "The whole stock tree of equity_option, for drawing (at most about 5,600 "
                           "steps): nodes, level times, the lattice's factors and an SVG picture.",
    "barrier": "European barrier option, barrier watched continuously, no rebate (a spot at the barrier "
               "has touched it).",
    "compound": "Option on a European call or put on the stock: at expiry the holder may buy (call) or "
                "sell (put) the underlying option for `strike`.",
    "lookback": "Floating-strike lookback: the call pays the price at expiry less the lowest price, the "
                "put the highest price less the price at expiry.",
    "asian": "Arithmetic average-price option, moment-matched lognormal average, part of the averaging "
             "period possibly already observed.",
    "chooser": "Simple chooser: call or put with one strike and expiry, chosen at `choose_at`.",
    "binary": "Digital option: cash-or-nothing or asset-or-nothing.",
}

SUMMARIES_STOCK = {"equity_option", "equity_tree_display", "barrier", "compound", "lookback", "asian",
                   "chooser", "binary"}

VECTORISED = """
Any numeric (or choice) argument may be a numpy array, list or pandas Series:
the arguments broadcast by numpy's rules and the result has their shape
(a Series in gives a Series out with its index). The loop runs in C++ with
the GIL released, over `threads` threads (None: all cores).

errors='raise' raises LorvexError for the first refused element;
errors='nan' puts NaN there instead. return_status=True also returns the
status of each element (0, or the C export's negative code).
"""


def docstring(name, parameters, returns):
    lines = [SUMMARIES[name], ""]
    lines.append("Arguments (keyword only):")
    for p in parameters:
        meaning = ARGUMENTS.get(p.name, "")
        if p.name == "volatility" and name.startswith("black"):
            meaning = ("proportional volatility of the forward (bond options: of the forward yield), "
                       "per square-root year")
        elif p.name == "volatility" and name not in SUMMARIES_STOCK:
            meaning = "Hull-White absolute short-rate volatility sigma (0.01 = 100 bp a year)"
        if p.name == "option" and p.default is not p.empty:
            meaning = next((text for words, text in OPTION_WORDS.items() if p.default in words), meaning)
        default = "" if p.default is p.empty else f" [default {p.default!r}]"
        lines.append(f"    {p.name}: {meaning}{default}")
    lines.append("")
    lines.append(f"Returns: {returns}")
    lines.append("Raises: LorvexError (a ValueError: status, argument, message) when an argument is "
                 "outside what the calculation accepts; TypeError for a wrong type.")
    if name not in ("tree_bond_display", "equity_tree_display"):
        lines.append(VECTORISED)
    return "\n".join(lines)
