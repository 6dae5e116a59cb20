"""The lorvex package against the C exports, and its numpy/pandas behaviour."""
import datetime
import pickle
import threading

import numpy as np
import pandas as pd
import pytest

import lorvex
from conftest import EXPORTS

CURVE_ROWS = [(36526, 0.045), (36892, 0.047), (37622, 0.05), (39448, 0.055), (47484, 0.06)]
CURVE = lorvex.Curve([r[0] for r in CURVE_ROWS], [r[1] for r in CURVE_ROWS])
DIVIDEND_ROWS = [(0.25, 1.0), (0.75, 1.2)]
V = 36526

# Per calculation: arguments with lists along different axes, so the grid
# covers every choice and a few refused elements (an unknown frequency, a
# tree of one step, a negative volatility).
GRIDS = {
    "bond_price": dict(valuation=V, maturity=[[0.5], [2], [10.3], [40]], coupon=[[[0]], [[0.06]]], frequency=[1, 2, 3, 12]),
    "black_bond_option": dict(valuation=V, maturity=5, coupon=0.06, expiry=[[0.5], [2]], strike=[95, 100, 105],
                              volatility=0.2, option=[["call"], ["put"]], strike_quote=["clean", "dirty", "clean"]),
    "black_swaption": dict(valuation=V, expiry=[[1], [2]], maturity=[3, 6, 6], fixed_rate=0.05, volatility=0.2,
                           option=["payer", "receiver", "payer"], frequency=[[2], [5]]),
    "black_cap": dict(valuation=V, start=[0, 0.25, 1], maturity=[[3], [5]], cap_rate=0.05, volatility=0.2,
                      option=[["cap"], ["floor"]], frequency=[4, 4, 7]),
    "hw_bond_option": dict(valuation=V, maturity=5, coupon=0.06, expiry=[[1], [3]], strike=[90, 100, 110],
                           volatility=0.01, mean_reversion=[0, 0.1, 0.5], option=[["call"], ["put"]],
                           strike_quote="dirty"),
    "hw_swaption": dict(valuation=V, expiry=[[1], [2]], maturity=[5, 7, 7], fixed_rate=0.055, volatility=0.01,
                        mean_reversion=0.1, option=["payer", "receiver", "payer"]),
    "hw_cap": dict(valuation=V, start=[0.25, 1, 1], maturity=[[3], [5]], cap_rate=0.05, volatility=[0.01, 0.01, 0],
                   mean_reversion=0.1, option=[["cap"], ["floor"]]),
    "tree_bond_option": dict(valuation=V, maturity=5, coupon=0.06, expiry=2, strike=[98, 100, 102],
                             option=["call", "put", "put"], exercise=[["european"], ["american"]],
                             volatility=0.01, mean_reversion=0.1, steps=[[[[0]]], [[[20]]]],
                             tree=[[["normal"]], [["lognormal"]], [["shape"]]]),
    "tree_swaption": dict(valuation=V, expiry=[1, 2], maturity=5, fixed_rate=0.055, option=[["payer"], ["receiver"]],
                          volatility=0.01, mean_reversion=0.1, steps_per_year=[[4], [12]]),
    "tree_cap": dict(valuation=V, start=[0.25, 1], maturity=3, cap_rate=0.05, option=[["cap"], ["floor"]],
                     volatility=0.01, mean_reversion=0.1, step_parameter=[[2], [8]], tree=["normal", "lognormal"]),
    "bond_tree_rate_delta": dict(valuation=V, maturity=5, expiry=[1, 2], volatility=[[0.01], [-0.01]],
                                 mean_reversion=0.1, steps=10),
    "cap_tree_rate_delta": dict(valuation=V, start=0.25, maturity=[3, 5], volatility=0.01, mean_reversion=0.1,
                                step_parameter=[[4], [10]]),
    "equity_option": dict(spot=[90, 100, 110], strike=100, rate=0.05, expiry=1, dividend_yield=0.01,
                          volatility=0.25, steps=[[1], [50]], exercise=[["european"], ["american"]],
                          option=["call", "put", "put"], use_dividends=[[[True]], [[False]]]),
    "barrier": dict(spot=[90, 100, 110], strike=100, rate=0.05, expiry=1, barrier=[[80], [120]], volatility=0.2,
                    barrier_type=[[["up-in"]], [["up-out"]], [["down-in"]], [["down-out"]]], option=["call", "put", "call"]),
    "compound": dict(spot=100, strike=[3, 5], underlying_strike=100, rate=0.05, volatility=0.25, expiry=0.5,
                     underlying_expiry=1, underlying=[["call"], ["put"]], option=[[["call"]], [["put"]]]),
    "lookback": dict(spot=100, rate=0.05, dividend_yield=[0, 0.05], volatility=0.3, expiry=1, observed_max=110,
                     observed_min=[[90], [-1]], option=[[["call"]], [["put"]]]),
    "asian": dict(spot=100, strike=[95, 105], rate=0.05, dividend_yield=0.02, volatility=0.25, expiry=1,
                  observed_average=98, elapsed=[[0], [0.5]], option=[[["call"]], [["put"]]]),
    "chooser": dict(spot=[90, 100], strike=100, rate=0.05, dividend_yield=0.02, volatility=[[0.25], [np.nan]],
                    expiry=1, choose_at=0.5),
    "binary": dict(spot=[90, 110], strike=100, rate=0.05, dividend_yield=0.02, volatility=0.25, expiry=1,
                   cash=10, payoff=[["cash"], ["asset"]], option=[[["call"]], [["put"]]]),
}


def _market(name):
    market = EXPORTS[name][1]
    if "curve" in market:
        return {"curve": CURVE}, CURVE_ROWS
    if "dividends" in market:
        return {"dividends": lorvex.Dividends(*zip(*DIVIDEND_ROWS))}, DIVIDEND_ROWS
    return {}, []


def test_every_calculation_is_checked():
    assert set(GRIDS) | {"tree_bond_display", "equity_tree_display"} == set(lorvex.CALCULATIONS)


@pytest.mark.parametrize("name", sorted(GRIDS))
def test_equals_the_c_export(name, exports):
    """Element by element the value and status of the export on the same inputs."""
    grid = GRIDS[name]
    market, rows = _market(name)
    result, status = getattr(lorvex, name)(**grid, **market, errors="nan", return_status=True)
    arrays = {k: np.asarray(v, dtype=object) for k, v in grid.items()}
    shape = np.broadcast_shapes(*(a.shape for a in arrays.values()))
    values = np.stack(list(result.values()), -1) if isinstance(result, dict) else result[..., None]
    assert values.shape[:-1] == shape and status.shape == shape
    array = exports.array(rows)
    parameters = getattr(lorvex, name).__signature__.parameters.values()
    defaults = {p.name: p.default for p in parameters if p.default is not p.empty}
    refused = 0
    for idx in np.ndindex(shape):
        kwargs = defaults | {k: np.broadcast_to(a, shape)[idx] for k, a in arrays.items()}
        want_status, want = exports.call(name, kwargs, array)
        assert status[idx] == want_status, (idx, kwargs)
        if want_status == 0:
            np.testing.assert_allclose(values[idx], want, rtol=1e-15, atol=0, err_msg=str(kwargs))
        else:
            refused += 1
            assert np.isnan(values[idx]).all()
    assert refused < np.prod(shape)


def test_scalars_give_scalars_and_arrays_broadcast():
    kw = dict(rate=0.05, expiry=1, barrier=80, volatility=0.2)
    one = lorvex.barrier(spot=100, strike=100, **kw)
    assert isinstance(one, float)
    grid = lorvex.barrier(spot=np.array([[90], [100], [110]]), strike=np.array([95, 100, 105, 110]), **kw)
    assert grid.shape == (3, 4) and grid[1, 1] == one
    assert lorvex.barrier(spot=[], strike=100, **kw).shape == (0,)
    with pytest.raises(ValueError):
        lorvex.barrier(spot=[1, 2, 3], strike=[1, 2], **kw)
    greeks = lorvex.equity_option(spot=[90, 100], strike=100, rate=0.05, expiry=1, volatility=0.2, steps=50)
    assert set(greeks) == {"value", "delta", "gamma", "theta"} and greeks["delta"].shape == (2,)
    single = lorvex.equity_option(spot=100, strike=100, rate=0.05, expiry=1, volatility=0.2, steps=50)
    assert single == lorvex.EquityResult(*(greeks[f][1] for f in lorvex.EquityResult._fields))


def test_pandas_round_trip():
    trades = pd.DataFrame({"spot": [90.0, 100, 110], "strike": 100.0, "option": ["call", "put", "call"]},
                          index=pd.Index(["a", "b", "c"], name="id"))
    priced = trades.assign(value=lorvex.barrier(**trades, rate=0.05, expiry=1, barrier=80, volatility=0.2))
    assert priced.index.equals(trades.index) and priced["value"].notna().all()
    assert priced.loc["b", "value"] == lorvex.barrier(spot=100, strike=100, option="put", rate=0.05, expiry=1,
                                                      barrier=80, volatility=0.2)
    frame = lorvex.equity_option(spot=trades.spot, strike=100, rate=0.05, expiry=1, volatility=0.2, steps=30)
    assert list(frame.columns) == ["value", "delta", "gamma", "theta"] and frame.index.equals(trades.index)
    curve = lorvex.Curve(pd.DataFrame({"date": pd.to_datetime(["2000-01-01", "2001-01-01"]), "rate": [0.04, 0.05]}))
    assert lorvex.Curve(curve.to_frame()).rate(36700) == curve.rate(36700)
    assert pickle.loads(pickle.dumps(CURVE)).rate(40000.5) == CURVE.rate(40000.5)
    series = pd.Series([0.04, 0.05], index=pd.to_datetime(["2000-01-01", "2001-01-01"]))
    assert list(lorvex.Curve(series).dates) == [36526, 36892]
    with pytest.raises(ValueError, match="index"):
        lorvex.barrier(spot=trades.spot, strike=trades.strike.reset_index(drop=True), rate=0.05, expiry=1,
                       barrier=80, volatility=0.2)


@pytest.mark.parametrize("date", [36526, 36526.0, datetime.date(2000, 1, 1), datetime.datetime(2000, 1, 1, 12),
                                  np.datetime64("2000-01-01"), "2000-01-01", pd.Timestamp("2000-01-01")])
def test_every_date_form_is_one_serial(date):
    assert lorvex.bond_price(valuation=date, maturity=3, coupon=0.05, curve=CURVE) == \
        lorvex.bond_price(valuation=36526, maturity=3, coupon=0.05, curve=CURVE)
    assert lorvex.Curve([date], [0.05]).dates[0] == 36526


BARRIER = dict(spot=100, strike=100, rate=0.05, expiry=1, barrier=80, volatility=0.2)
TREE = dict(valuation=V, maturity=5, coupon=0.06, expiry=2, strike=100, volatility=0.01, steps=10, curve=CURVE)


@pytest.mark.parametrize("function, change, error, status, argument", [
    (lorvex.barrier, dict(spot="100"), TypeError, None, None),
    (lorvex.barrier, dict(spot=None), TypeError, None, None),
    (lorvex.barrier, dict(spot={"a": 1}), TypeError, None, None),
    (lorvex.barrier, dict(spot=np.array(["1"])), TypeError, None, None),
    (lorvex.barrier, dict(option=1), TypeError, None, None),
    (lorvex.barrier, dict(spot_price=100), TypeError, None, None),
    (lorvex.barrier, dict(threads=1.5), TypeError, None, None),
    (lorvex.tree_bond_option, dict(curve=[0.05]), TypeError, None, None),
    (lorvex.tree_bond_option, dict(curve=None), TypeError, None, None),
    (lorvex.tree_bond_option, dict(valuation=object()), TypeError, None, None),
    (lorvex.tree_bond_option, dict(valuation="01/01/2000"), TypeError, None, None),
    (lorvex.tree_bond_display, dict(strike=[99, 100]), TypeError, None, None),
    (lorvex.tree_bond_option, dict(limits=2 ** 20), TypeError, None, None),
    (lorvex.tree_bond_option, dict(limits={"memory": 1}), TypeError, None, None),
    (lorvex.tree_bond_option, dict(limits={"memory_bytes": 1000}), lorvex.LorvexError, -1, None),
    (lorvex.barrier, dict(option="cal"), lorvex.LorvexError, -9, "option"),
    (lorvex.barrier, dict(volatility=-0.2), lorvex.LorvexError, -9, "volatility"),
    (lorvex.barrier, dict(errors="ignore"), lorvex.LorvexError, -9, "errors"),
    (lorvex.barrier, dict(threads=0), lorvex.LorvexError, -9, "threads"),
    (lorvex.tree_bond_option, dict(steps=0), lorvex.LorvexError, -1, "steps"),
    (lorvex.tree_bond_option, dict(steps=10.5), lorvex.LorvexError, -9, "steps"),
    (lorvex.tree_bond_option, dict(frequency=2 ** 40), lorvex.LorvexError, -9, "frequency"),
    (lorvex.tree_bond_option, dict(valuation=-10 ** 7), lorvex.LorvexError, -9, "valuation"),
    (lorvex.tree_bond_display, dict(steps=0), lorvex.LorvexError, -1, "steps"),
    (lorvex.black_swaption, dict(frequency=5), lorvex.LorvexError, -2, None),
])
def test_refusals(function, change, error, status, argument):
    base = dict(valuation=V, expiry=1, maturity=5, fixed_rate=0.05, volatility=0.2, curve=CURVE) \
        if function is lorvex.black_swaption else BARRIER if function is lorvex.barrier else TREE
    with pytest.raises(error) as caught:
        function(**(base | change))
    if error is lorvex.LorvexError:
        assert isinstance(caught.value, ValueError) and caught.value.status == status and caught.value.message
        assert argument is None or caught.value.argument == argument
        assert caught.value.index is None


def test_positional_arguments_and_missing_ones_are_type_errors():
    with pytest.raises(TypeError):
        lorvex.barrier(100, 100)
    with pytest.raises(TypeError):
        lorvex.barrier(spot=100)
    with pytest.raises(TypeError):
        lorvex.Curve("2000-01-01")
    with pytest.raises(lorvex.LorvexError):
        lorvex.Curve([36526, 36527], [0.05])


def test_an_array_raises_on_its_first_refusal_or_reports_every_status():
    steps = np.array([[10, 0, 10], [10, 10, -3]])
    with pytest.raises(lorvex.LorvexError) as caught:
        lorvex.tree_bond_option(**(TREE | dict(steps=steps)), threads=2)
    assert caught.value.index == (0, 1) and caught.value.argument == "steps" and caught.value.status == -1
    values, status = lorvex.tree_bond_option(**(TREE | dict(steps=steps)), errors="nan", return_status=True)
    assert (status == np.where(steps < 1, -1, 0)).all() and (np.isnan(values) == (steps < 1)).all()


def test_threads_give_the_single_thread_results():
    strikes = np.linspace(90, 110, 101)
    one = lorvex.tree_bond_option(**(TREE | dict(strike=strikes, steps=np.arange(2, 103))), threads=1)
    for threads in (2, 3, None):
        assert np.array_equal(lorvex.tree_bond_option(**(TREE | dict(strike=strikes, steps=np.arange(2, 103))),
                                                      threads=threads), one)


def test_bonds_of_one_valuation_equal_the_export_to_the_last_bit(exports):
    """One valuation for many bonds: each thread prices from its own remembered discount factors."""
    n = 3000
    terms = dict(maturity=np.linspace(0.05, 110, n), coupon=np.linspace(0, 0.08, n), frequency=np.resize([1, 2, 4, 12], n))
    terms["maturity"][7] = np.inf
    array = exports.array(CURVE_ROWS)
    want = [exports.call("bond_price", dict(valuation=V, face=100, **{k: v[i] for k, v in terms.items()}), array)
            for i in range(n)]
    for threads in (1, 3):
        values, status = lorvex.bond_price(valuation=V, **terms, curve=CURVE, threads=threads, errors="nan",
                                           return_status=True)
        assert list(status) == [s for s, _ in want]
        assert np.array_equal(values, [v[0] if s == 0 else np.nan for s, v in want], equal_nan=True)


def test_the_gil_is_released_during_a_long_tree():
    started, done, ticks = threading.Event(), threading.Event(), [0]

    def price():
        started.set()
        lorvex.equity_option(spot=100, strike=100, rate=0.05, expiry=1, volatility=0.2,
                             steps=np.full(8, 4000), exercise="american", threads=1)
        done.set()

    worker = threading.Thread(target=price)
    worker.start()
    started.wait()
    while not done.is_set():
        ticks[0] += 1
    worker.join()
    # Holding the GIL, the worker would let this loop run only between its
    # Python statements: a handful of ticks at most.
    assert ticks[0] > 1000


def test_displays_match_the_pricers_and_draw():
    display = lorvex.tree_bond_display(**(TREE | dict(steps=6)), option="put", exercise="american")
    assert display.value == lorvex.tree_bond_option(**(TREE | dict(steps=6)), option="put", exercise="american")
    assert display.levels.shape == (7, 3) and display.nodes.shape[1] == 6
    assert display.svg().lstrip().startswith("<") and "</svg>" in display._repr_svg_()
    assert set(display.nodes_frame().exercise) <= {-1, 1}
    equity = lorvex.equity_tree_display(spot=100, strike=100, rate=0.05, expiry=1, volatility=0.2, steps=8,
                                        option=lorvex.OptionType.PUT, exercise=lorvex.Exercise.AMERICAN)
    assert equity.value == lorvex.equity_option(spot=100, strike=100, rate=0.05, expiry=1, volatility=0.2,
                                                steps=8, option="put", exercise="american").value
    assert len(equity.nodes) == 45 and equity.lattice.up * equity.lattice.down == pytest.approx(1.0)
    assert "</svg>" in equity.svg()


def test_help_names_every_argument_with_its_meaning():
    for name in lorvex.CALCULATIONS:
        function = getattr(lorvex, name)
        for argument, *_ in lorvex._lorvex.arguments[name]:
            assert f"    {argument}: " in function.__doc__, (name, argument)
            assert argument in function.__signature__.parameters
