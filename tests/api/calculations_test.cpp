// Every calculation is reachable through lorvex.hpp and gives the number of
// its export to the last bit; the curve value type reads points as the
// curve array does.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "lorvex/lorvex.h"
#include "lorvex/lorvex.hpp"
#include "test_arrays.h"

namespace {

using namespace lorvex;

constexpr int kValuation = 36526;

// The sample points, in no particular order and with a repeated date whose
// second rate must be ignored.
const std::vector<double> kDates = {36526 + 1825, 36526 + 91, 36526 + 365, 36526 + 3650, 36526 + 365};
const std::vector<double> kRates = {0.053, 0.046, 0.048, 0.055, 0.090};

// The points as the curve (or dividend) array a spreadsheet passes.
lorvex_test::CurveArray ArrayOf(const std::vector<double>& xs, const std::vector<double>& ys) {
  lorvex_test::Rows rows;
  for (std::size_t i = 0; i < xs.size(); ++i) rows.emplace_back(xs[i], ys[i]);
  return lorvex_test::CurveArray(rows);
}

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

struct Pair {
  const char* name;
  std::function<double(const Curve&)> api;
  std::function<int32_t(SAFEARRAY**, double*)> c;
};

void PrintTo(const Pair& p, std::ostream* os) { *os << p.name; }

const Pair kPairs[] = {
    {"bond_price",
     [](const Curve& k) { return bond_price({kValuation, 2.5, 0.06, 100, 2}, k); },
     [](SAFEARRAY** a, double* r) { return HW_BondPrice(kValuation, 2.5, 0.06, 100, 2, a, r); }},
    {"black_bond_option",
     [](const Curve& k) {
       return black_bond_option({kValuation, 5, 0.06, 100, 2, 1, 101, 0.1, OptionType::Put, StrikeQuote::Dirty}, k);
     },
     [](SAFEARRAY** a, double* r) { return HW_BlackBondOption(kValuation, 5, 0.06, 100, 2, 1, 101, 0.1, 0, 0, a, r); }},
    {"black_swaption",
     [](const Curve& k) { return black_swaption({kValuation, 1, 6, 0.05, 100, 2, 0.2, SwaptionType::Receiver}, k); },
     [](SAFEARRAY** a, double* r) { return HW_BlackSwapOption(kValuation, 1, 6, 0.05, 100, 2, 0.2, 1, a, r); }},
    {"black_cap",
     [](const Curve& k) { return black_cap({kValuation, 0.25, 3, 0.05, 100, 4, 0.2, CapType::Floor}, k); },
     [](SAFEARRAY** a, double* r) { return HW_BlackCap(kValuation, 0.25, 3, 0.05, 100, 4, 0.2, 0, a, r); }},
    {"hw_bond_option",
     [](const Curve& k) { return hw_bond_option({kValuation, 5, 0.06, 100, 2, 1, 100, 0.01, 0.1}, k); },
     [](SAFEARRAY** a, double* r) {
       return HW_HullWhiteBondOption(kValuation, 5, 0.06, 100, 2, 1, 100, 0.01, 0.1, 1, 1, a, r);
     }},
    {"hw_swaption",
     [](const Curve& k) { return hw_swaption({kValuation, 1, 6, 0.05, 100, 2, 0.01, 0.1}, k); },
     [](SAFEARRAY** a, double* r) { return HW_HullWhiteSwapOption(kValuation, 1, 6, 0.05, 100, 2, 0.01, 0.1, 0, a, r); }},
    {"hw_cap",
     [](const Curve& k) { return hw_cap({kValuation, 0.25, 3, 0.05, 100, 4, 0.01, 0.1}, k); },
     [](SAFEARRAY** a, double* r) { return HW_HullWhiteCap(kValuation, 0.25, 3, 0.05, 100, 4, 0.01, 0.1, 1, a, r); }},
    {"tree_bond_option",
     [](const Curve& k) {
       return tree_bond_option({.valuation = kValuation, .maturity = 5, .coupon = 0.06, .expiry = 1, .strike = 101,
                                .option = OptionType::Put, .exercise = Exercise::American, .volatility = 0.01,
                                .mean_reversion = 0.1, .steps = 40, .tree = TreeKind::Lognormal},
                               k);
     },
     [](SAFEARRAY** a, double* r) {
       return HW_TreeBondOption(kValuation, 5, 0.06, 100, 2, 1, 101, 0, 1, 1, a, 0.01, 0.1, 40, 1, r);
     }},
    {"tree_swaption",
     [](const Curve& k) {
       return tree_swaption({.valuation = kValuation, .expiry = 1, .maturity = 4, .fixed_rate = 0.05,
                             .volatility = 0.01, .mean_reversion = 0.1, .steps_per_year = 12},
                            k);
     },
     [](SAFEARRAY** a, double* r) { return HW_TreeSwapOption(kValuation, 4, 1, 0.05, 100, 2, 0, a, 0.01, 0.1, 12, 0, r); }},
    {"tree_cap",
     [](const Curve& k) {
       return tree_cap({.valuation = kValuation, .start = 0.25, .maturity = 3, .cap_rate = 0.05,
                        .option = CapType::Floor, .volatility = 0.2, .mean_reversion = 0.1,
                        .step_parameter = 2, .tree = TreeKind::Shape},
                       k);
     },
     [](SAFEARRAY** a, double* r) { return HW_TreeCap(kValuation, 3, 0.25, 0.05, 100, 4, 0, a, 0.2, 0.1, 2, 2, r); }},
    {"bond_tree_rate_delta",
     [](const Curve& k) {
       return bond_tree_rate_delta(
           {.valuation = kValuation, .maturity = 5, .expiry = 1, .volatility = 0.01, .mean_reversion = 0.1, .steps = 10},
           k);
     },
     [](SAFEARRAY** a, double* r) { return HW_BondTreeRateDelta(kValuation, 5, 1, a, 0.01, 0.1, 10, 0, r); }},
    {"cap_tree_rate_delta",
     [](const Curve& k) {
       return cap_tree_rate_delta({.valuation = kValuation, .start = 0.25, .maturity = 3, .volatility = 0.01,
                                   .mean_reversion = 0.1, .step_parameter = 10},
                                  k);
     },
     [](SAFEARRAY** a, double* r) { return HW_CapTreeRateDelta(kValuation, 0.25, 3, 4, a, 0.01, 0.1, 10, 0, r); }},
    // The stock calculations read the array as dividends (years, amount).
    {"equity_option",
     [](const Curve&) {
       return equity_option({100, 95, 0.05, 1, 0.01, 0.25, 200, Exercise::American, OptionType::Put},
                            Dividends({0.5, 0.25}, {2.0, 1.0}))
           .gamma;
     },
     [](SAFEARRAY**, double* r) {
       auto dividends = ArrayOf({0.5, 0.25}, {2.0, 1.0});
       double v, d, t;
       return HW_TreeEquityOpt(100, 95, 0.05, 1, 0.01, dividends.get(), 0.25, 200, 1, 0, 1, &v, &d, r, &t);
     }},
    {"barrier", [](const Curve&) { return barrier({100, 90, 0.08, 0.5, 0.04, 95, 0.25, BarrierType::DownIn}); },
     [](SAFEARRAY**, double* r) { return HW_barrier_compute(100, 90, 0.08, 0.5, 0.04, 95, 0.25, 7, 1, r); }},
    {"compound",
     [](const Curve&) {
       return compound({500, 50, 520, 0.08, 0.03, 0.35, 0.25, 0.5, OptionType::Put, OptionType::Put});
     },
     [](SAFEARRAY**, double* r) { return HW_compound_compute(500, 50, 520, 0.08, 0.03, 0.35, 0.25, 0.5, 13, 0, r); }},
    {"lookback", [](const Curve&) { return lookback({120, 0.1, 0.04, 0.3, 0.5, 150, 100, OptionType::Put}); },
     [](SAFEARRAY**, double* r) { return HW_lookback_compute(120, 0.1, 0.04, 0.3, 0.5, 150, 100, 0, r); }},
    {"asian", [](const Curve&) { return asian({100, 95, 0.05, 0.01, 0.2, 0.5, 92, 0.25}); },
     [](SAFEARRAY**, double* r) { return HW_avgopt_compute(100, 95, 0.05, 0.01, 0.2, 0.5, 92, 0.25, 1, r); }},
    {"chooser", [](const Curve&) { return chooser({50, 50, 0.08, 0, 0.25, 0.5, 0.25}); },
     [](SAFEARRAY**, double* r) { return HW_chooser_compute(50, 50, 0.08, 0, 0.25, 0.5, 0.25, r); }},
    {"binary",
     [](const Curve&) { return binary({100, 80, 0.05, 0, 0.2, 1, 10, Payoff::Asset, OptionType::Put}); },
     [](SAFEARRAY**, double* r) { return HW_binary_compute(100, 80, 0.05, 0, 0.2, 1, 10, 10, 0, r); }},
};

class ApiAgreesWithExport : public ::testing::TestWithParam<Pair> {};

TEST_P(ApiAgreesWithExport, ToTheLastBit) {
  const Pair& p = GetParam();
  auto array = ArrayOf(kDates, kRates);
  double expected = 0.0;
  ASSERT_EQ(p.c(array.get(), &expected), LORVEX_OK);
  const double got = p.api(Curve(kDates, kRates));
  EXPECT_TRUE(SameBits(got, expected)) << p.name << ": api " << got << ", export " << expected;
  EXPECT_NE(got, 0.0);
}

INSTANTIATE_TEST_SUITE_P(Api, ApiAgreesWithExport, ::testing::ValuesIn(kPairs),
                         [](const auto& row) { return std::string(row.param.name); });

// A bond whose coupons overflow a double was reported as a success with a
// NaN price; like every other rate export it is now refused, result 0.
TEST(ApiAgreesWithExport, BondPriceOverflowIsRefused) {
  auto curve = ArrayOf({45000}, {0.05});
  double price = 7.0;
  EXPECT_EQ(HW_BondPrice(45000, 5.5, 1e306, 1e6, 2, curve.get(), &price), LORVEX_BAD_ARGUMENT);
  EXPECT_EQ(price, 0.0);
}

// The two displays: every cell the export writes is the accessor's number.
TEST(ApiDisplays, TreeBondDisplayMatchesTheExportsArrays) {
  auto curve = ArrayOf(kDates, kRates);
  lorvex_test::Array nodes({{121, 0}, {4, 0}}), levels({{11, 0}, {3, 0}}), probabilities({{21, 0}, {3, 0}});
  ASSERT_EQ(HW_TreeBondDisplay(kValuation, 5, 0.06, 100, 2, 1, 101, 0, 1, 1, curve.get(), 0.01, 0.1, 6, 0, nodes.get(),
                               levels.get(), probabilities.get()),
            LORVEX_OK);
  const TreeBondDisplay tree =
      tree_bond_display({.valuation = kValuation, .maturity = 5, .coupon = 0.06, .expiry = 1, .strike = 101,
                         .option = OptionType::Put, .exercise = Exercise::American, .volatility = 0.01,
                         .mean_reversion = 0.1, .steps = 6},
                        Curve(kDates, kRates));
  ASSERT_EQ(tree.level_count(), 7);
  LONG row = 0;
  for (int i = 0; i < tree.level_count(); ++i) {
    EXPECT_EQ(tree.level(i).accrued, levels.At(i, 1));
    for (int j = 0; j < tree.level(i).nodes; ++j, ++row) {
      EXPECT_EQ(tree.node(i, j).value, nodes.At(row, 0));
      EXPECT_EQ(tree.node(i, j).rate, nodes.At(row, 3));
    }
  }
  EXPECT_EQ(tree.branch(0).middle, probabilities.At(0, 1));
}

TEST(ApiDisplays, EquityTreeDisplayRootIsTheOptionValue) {
  const EquityOptionArgs args{.spot = 100, .strike = 100, .rate = 0.05, .expiry = 1, .volatility = 0.2,
                              .steps = 100, .exercise = Exercise::American, .option = OptionType::Put};
  const EquityTreeDisplay tree = equity_tree_display(args);
  EXPECT_EQ(tree.steps(), 100);
  EXPECT_EQ(tree.node(0, 0).value, equity_option(args).value);
  EXPECT_DOUBLE_EQ(tree.level_time(100), 1.0);
  EXPECT_DOUBLE_EQ(tree.lattice().up * tree.lattice().down, 1.0);
}

// The reading rules of the curve array: sorted, first rate of a repeated
// date, linear between points, flat beyond the ends; calendar dates equal
// their serials.
TEST(ApiCurve, ReadsPointsAsTheCurveArray) {
  const Curve curve(kDates, kRates);
  EXPECT_EQ(curve.size(), 4u);
  EXPECT_EQ(curve.points().front().x, 36526 + 91);
  EXPECT_EQ(curve.rate(36526 + 365), 0.048);
  EXPECT_EQ(curve.rate(0), 0.046);
  EXPECT_EQ(curve.rate(100000), 0.055);
  EXPECT_NEAR(curve.rate(36526 + 1095), 0.5 * (0.048 + 0.053), 1e-15);
  EXPECT_EQ(Curve().rate(40000), 0.0);
  EXPECT_EQ(Curve::flat(0.05).rate(-100000), 0.05);
  const std::vector<Date> dates = {{2000, 1, 1}, {2005, 1, 1}};
  const Curve calendar(dates, std::vector<double>{0.045, 0.055});
  EXPECT_EQ(calendar.points()[1].x, 38353);
  EXPECT_EQ(bond_price({kValuation, 2, 0.06, 100, 2}, calendar),
            bond_price({kValuation, 2, 0.06, 100, 2}, Curve({36526, 38353}, {0.045, 0.055})));
  const Date d = date_from_serial(38353);
  EXPECT_EQ(d.year * 10000 + d.month * 100 + d.day, 20050101);
}

// The vocabulary lists every calculation once, with its export and its
// arguments in the struct's order, and the words round-trip.
TEST(ApiVocabulary, OneEntryPerCalculation) {
  const auto& list = calculations();
  ASSERT_EQ(list.size(), 21u);
  EXPECT_EQ(list[0].name, "bond_price");
  EXPECT_EQ(list[0].c_export, "HW_BondPrice");
  EXPECT_EQ(list[0].market, "curve");
  EXPECT_EQ(list[0].arguments, (std::vector<std::string_view>{"valuation", "maturity", "coupon", "face", "frequency"}));
  for (const Calculation& c : list) EXPECT_EQ(c.c_export.substr(0, 3), "HW_") << c.name;
  EXPECT_EQ(from_string<BarrierType>(to_string(BarrierType::UpOut), "barrier_type"), BarrierType::UpOut);
  EXPECT_EQ(from_string<SwaptionType>("receiver", "option"), SwaptionType::Receiver);
}

}  // namespace
