// Every refusal of the C++ API names its argument, and carries the status
// the matching export returns for the same call.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>

#include "lorvex/lorvex.hpp"

namespace {

using namespace lorvex;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr int kValuation = 36526;  // 1 January 2000

const Curve& Flat() {
  static const Curve curve = Curve::flat(0.05);
  return curve;
}

struct Refusal {
  const char* name;
  std::function<void()> call;
  int status;
  const char* argument;
  const char* message;  // a part of what() the caller must see
};

void PrintTo(const Refusal& r, std::ostream* os) { *os << r.name; }

// Terms each row changes one field of.
BondPriceArgs Bond() { return {.valuation = kValuation, .maturity = 5, .coupon = 0.06}; }
BlackBondOptionArgs BlackBond() {
  return {.valuation = kValuation, .maturity = 5, .coupon = 0.06, .expiry = 1, .strike = 100, .volatility = 0.1};
}
BlackSwaptionArgs BlackSwap() {
  return {.valuation = kValuation, .expiry = 1, .maturity = 6, .fixed_rate = 0.05, .volatility = 0.2};
}
BlackCapArgs BlackCapTerms() {
  return {.valuation = kValuation, .start = 0.25, .maturity = 3, .cap_rate = 0.05, .volatility = 0.2};
}
HwBondOptionArgs HwBond() {
  return {.valuation = kValuation, .maturity = 5, .coupon = 0.06, .expiry = 1, .strike = 100,
          .volatility = 0.01, .mean_reversion = 0.1};
}
HwSwaptionArgs HwSwap() {
  return {.valuation = kValuation, .expiry = 1, .maturity = 6, .fixed_rate = 0.05, .volatility = 0.01,
          .mean_reversion = 0.1};
}
HwCapArgs HwCapTerms() {
  return {.valuation = kValuation, .start = 0.25, .maturity = 3, .cap_rate = 0.05, .volatility = 0.01,
          .mean_reversion = 0.1};
}
TreeBondOptionArgs TreeBond() {
  return {.valuation = kValuation, .maturity = 5, .coupon = 0.06, .expiry = 1, .strike = 100,
          .volatility = 0.01, .mean_reversion = 0.1, .steps = 20};
}
TreeSwaptionArgs TreeSwap() {
  return {.valuation = kValuation, .expiry = 1, .maturity = 6, .fixed_rate = 0.05, .volatility = 0.01,
          .mean_reversion = 0.1, .steps_per_year = 10};
}
TreeCapArgs TreeCapTerms() {
  return {.valuation = kValuation, .start = 0.25, .maturity = 3, .cap_rate = 0.05, .volatility = 0.01,
          .mean_reversion = 0.1, .step_parameter = 2};
}
EquityOptionArgs Equity() {
  return {.spot = 100, .strike = 100, .rate = 0.05, .expiry = 1, .volatility = 0.2, .steps = 50};
}
BarrierArgs Barrier() {
  return {.spot = 100, .strike = 90, .rate = 0.08, .expiry = 0.5, .dividend_yield = 0.04, .barrier = 95,
          .volatility = 0.25};
}

template <class Args, class Change>
Args With(Args args, Change change) {
  change(args);
  return args;
}

const Refusal kRefusals[] = {
    // Dates and numbers every interest-rate calculation checks.
    {"ValuationOutsideTheCalendar", [] { bond_price(With(Bond(), [](auto& a) { a.valuation = 3000000; }), Flat()); },
     -9, "valuation", "outside years 1 to 9999"},
    {"MaturityNotFinite", [] { bond_price(With(Bond(), [](auto& a) { a.maturity = kNaN; }), Flat()); }, -9,
     "maturity", "not a finite number"},
    {"MaturityBeyondTheCalendar", [] { bond_price(With(Bond(), [](auto& a) { a.maturity = 9000; }), Flat()); },
     -9, "maturity", "outside years 1 to 9999"},
    {"CouponInfinite", [] { bond_price(With(Bond(), [](auto& a) { a.coupon = kInf; }), Flat()); }, -9, "coupon",
     "not a finite number"},
    {"BondPriceOverflows", [] { bond_price(With(Bond(), [](auto& a) { a.face = 1e306; a.coupon = 1e6; }), Flat()); },
     -9, "", "not a finite number"},
    {"BlackExpiryBeforeTheCalendar",
     [] { black_bond_option(With(BlackBond(), [](auto& a) { a.expiry = -3000; }), Flat()); }, -9, "expiry",
     "outside years"},
    {"BlackVolatilityNotFinite",
     [] { black_bond_option(With(BlackBond(), [](auto& a) { a.volatility = kNaN; }), Flat()); }, -9,
     "volatility", "not a finite"},
    {"SwapFrequency", [] { black_swaption(With(BlackSwap(), [](auto& a) { a.frequency = 3; }), Flat()); }, -2,
     "frequency", "not one of 1, 2, 4 or 12"},
    {"SwapFixedRate", [] { black_swaption(With(BlackSwap(), [](auto& a) { a.fixed_rate = kNaN; }), Flat()); },
     -9, "fixed_rate", "not a finite"},
    {"CapFrequency", [] { black_cap(With(BlackCapTerms(), [](auto& a) { a.frequency = 5; }), Flat()); }, -3,
     "frequency", "not one of 1, 2, 4 or 12"},
    {"CapStart", [] { black_cap(With(BlackCapTerms(), [](auto& a) { a.start = kInf; }), Flat()); }, -9, "start",
     "not a finite"},
    {"HwMeanReversion", [] { hw_bond_option(With(HwBond(), [](auto& a) { a.mean_reversion = kNaN; }), Flat()); },
     -9, "mean_reversion", "not a finite"},
    {"HwNotional", [] { hw_swaption(With(HwSwap(), [](auto& a) { a.notional = kInf; }), Flat()); }, -9,
     "notional", "not a finite"},
    {"HwCapFrequency", [] { hw_cap(With(HwCapTerms(), [](auto& a) { a.frequency = 0; }), Flat()); }, -3,
     "frequency", "payments a year"},
    // Trees: too few steps and the memory budget are tree-build failures.
    {"TreeSteps", [] { tree_bond_option(With(TreeBond(), [](auto& a) { a.steps = 0; }), Flat()); }, -1, "steps",
     "0 is below 1"},
    {"TreeMemoryBudget",
     [] { tree_bond_option(With(TreeBond(), [](auto& a) { a.limits.memory_bytes = 1000; }), Flat()); }, -1,
     "tree", "memory budget"},
    {"TreeWorkBudget",
     [] { tree_bond_option(With(TreeBond(), [](auto& a) { a.limits.work_nodes = 1000; }), Flat()); }, -1,
     "tree", "node-maturities of work, above the budget of 1000"},
    {"TreeLimitsNotPositive",
     [] { tree_bond_option(With(TreeBond(), [](auto& a) { a.limits.memory_bytes = 0; }), Flat()); }, -1,
     "limits", "memory_bytes"},
    {"TreeStrike", [] { tree_bond_option(With(TreeBond(), [](auto& a) { a.strike = kNaN; }), Flat()); }, -9,
     "strike", "not a finite"},
    {"TreeDisplaySteps", [] { tree_bond_display(With(TreeBond(), [](auto& a) { a.steps = -4; }), Flat()); }, -1,
     "steps", "below 1"},
    {"TreeSwaptionStepsPerYear",
     [] { tree_swaption(With(TreeSwap(), [](auto& a) { a.steps_per_year = 0; }), Flat()); }, -1,
     "steps_per_year", "below 1"},
    {"TreeSwaptionFrequency", [] { tree_swaption(With(TreeSwap(), [](auto& a) { a.frequency = 7; }), Flat()); },
     -2, "frequency", "not one of"},
    {"TreeCapFrequency", [] { tree_cap(With(TreeCapTerms(), [](auto& a) { a.frequency = 7; }), Flat()); }, -3,
     "frequency", "not one of"},
    {"TreeCapMaturity", [] { tree_cap(With(TreeCapTerms(), [](auto& a) { a.maturity = kNaN; }), Flat()); }, -9,
     "maturity", "not a finite"},
    {"BondRateDeltaSteps",
     [] {
       bond_tree_rate_delta({.valuation = kValuation, .maturity = 5, .expiry = 1, .volatility = 0.01, .steps = 0},
                            Flat());
     },
     -1, "steps", "below 1"},
    {"CapRateDeltaOrder",
     [] {
       cap_tree_rate_delta({.valuation = kValuation, .start = 3, .maturity = 1, .volatility = 0.01,
                            .step_parameter = 2},
                           Flat());
     },
     -3, "frequency", "maturity is not after the start"},
    // The stock tree.
    {"EquityStepsBelow2", [] { equity_option(With(Equity(), [](auto& a) { a.steps = 1; })); }, -9, "steps",
     "1 is outside 2..100000"},
    {"EquityStepsAbove100000", [] { equity_option(With(Equity(), [](auto& a) { a.steps = 100001; })); }, -9,
     "steps", "outside 2..100000"},
    {"EquityExpiry", [] { equity_option(With(Equity(), [](auto& a) { a.expiry = 0; })); }, -9, "expiry",
     "not above 0"},
    {"EquityVolatility", [] { equity_option(With(Equity(), [](auto& a) { a.volatility = -0.2; })); }, -9,
     "volatility", "not above 0"},
    {"EquitySpot", [] { equity_option(With(Equity(), [](auto& a) { a.spot = kNaN; })); }, -9, "spot",
     "not a finite"},
    {"EquityLatticeFlat", [] { equity_option(With(Equity(), [](auto& a) { a.volatility = 1e-300; })); }, -9,
     "volatility", "equal up and down"},
    {"EquityDisplayBudget", [] { equity_tree_display(With(Equity(), [](auto& a) { a.steps = 6000; })); }, -1,
     "steps", "above the 256 MiB budget"},
    {"Dividends", [] { Dividends({0.5, kNaN}, {1.0, 1.0}); }, -9, "dividends", "not a pair of finite numbers"},
    // The exotics.
    {"BarrierNegativeSpot", [] { barrier(With(Barrier(), [](auto& a) { a.spot = -1; })); }, -9, "spot",
     "below 0"},
    {"BarrierLevel", [] { barrier(With(Barrier(), [](auto& a) { a.barrier = kNaN; })); }, -9, "barrier",
     "not a finite"},
    {"BarrierVolatility", [] { barrier(With(Barrier(), [](auto& a) { a.volatility = -0.1; })); }, -9,
     "volatility", "below 0"},
    {"CompoundUnderlyingStrike",
     [] {
       compound({.spot = 500, .strike = 50, .underlying_strike = -520, .rate = 0.08, .volatility = 0.35,
                 .expiry = 0.25, .underlying_expiry = 0.5});
     },
     -9, "underlying_strike", "below 0"},
    {"LookbackCallReadsTheMinimum",
     [] { lookback({.spot = 120, .volatility = 0.3, .expiry = 0.5, .observed_max = 150, .observed_min = -1}); }, -9,
     "observed_min", "below 0"},
    {"AsianElapsed",
     [] { asian({.spot = 100, .strike = 100, .volatility = 0.2, .expiry = 1, .elapsed = -0.5}); }, -9, "elapsed",
     "below 0"},
    {"ChooserAt", [] { chooser({.spot = 50, .strike = 50, .volatility = 0.25, .expiry = 0.5, .choose_at = kNaN}); },
     -9, "choose_at", "not a finite"},
    {"BinaryZeroVolatility", [] { binary({.spot = 100, .strike = 100, .volatility = 0, .expiry = 1, .cash = 10}); },
     -9, "", "volatility or time of 0"},
    // Market data and words.
    {"CurvePointNotFinite", [] { Curve({36526, 37000}, {0.05, kNaN}); }, -9, "curve", "point 2"},
    {"CurveLengths", [] { Curve(std::span<const double>(), std::vector<double>{0.05}); }, -9, "curve",
     "0 dates against 1"},
    {"NoSuchDate", [] { serial_from_date({2001, 2, 29}); }, -9, "date", "not a calendar date"},
    {"NoSuchWord", [] { from_string<TreeKind>("cubic", "tree"); }, -9, "tree", "normal, lognormal, shape"},
};

class ApiRefusal : public ::testing::TestWithParam<Refusal> {};

TEST_P(ApiRefusal, NamesTheArgument) {
  const Refusal& r = GetParam();
  try {
    r.call();
    FAIL() << r.name << ": no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.status(), r.status) << e.what();
    EXPECT_EQ(e.argument(), r.argument) << e.what();
    EXPECT_NE(std::string(e.what()).find(r.message), std::string::npos) << e.what();
    if (!e.argument().empty()) {
      EXPECT_EQ(std::string(e.what()).rfind(e.argument() + ": ", 0), 0u) << e.what();
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Api, ApiRefusal, ::testing::ValuesIn(kRefusals),
                         [](const auto& row) { return std::string(row.param.name); });

}  // namespace
