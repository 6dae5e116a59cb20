// Bounded work: requests whose tree is far beyond what a caller waits for
// are refused from the size estimate, before the lattice is built, with
// status -1 through the export and a refusal naming the estimate and the
// budget (HullWhiteTree.WorkBudget shows a raised budget building). A rate spacing builds the levels it
// reads, a swaption on a swap that ends before it starts is 0 without a
// lattice, and a strongly negative mean reversion is refused before its
// branching offsets leave the integers.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <vector>

#include "hwtree/hull_white_tree.h"
#include "lorvex/lorvex.h"
#include "treepricing/bond_tree_setup.h"
#include "treepricing/tree_bond_option.h"
#include "treepricing/tree_cap.h"
#include "treepricing/tree_swap_option.h"
#include "test_arrays.h"

namespace {

using Curve = lorvex_test::CurveArray;
using lorvex_test::Days;
using lorvex_test::Rows;
using lorvex_test::ToJdn;

constexpr int kSerial = 45000;
constexpr int kT0 = kSerial + 2415019;

// Flat-ish, 3 % to 4 % over thirty years.
Rows ThreePoints() { return {{kSerial, 0.03}, {kSerial + 3650, 0.035}, {kSerial + 10950, 0.04}}; }


lorvex::BondTreeTerms Bond(double maturityYears, double expiryYears, int steps, double a) {
  lorvex::BondTreeTerms t;
  t.valuation = kT0;
  t.maturity = kT0 + Days(maturityYears);
  t.accrualStart = kT0;
  t.couponRate = 0.05;
  t.couponsPerYear = 2;
  t.expiry = kT0 + Days(expiryYears);
  t.strike = 100.0;
  t.sigma = 0.01;
  t.meanReversion = a;
  t.stepCount = steps;
  return t;
}

lorvex::CapTreeTerms Cap(double endYears, double startYears, int perYear) {
  lorvex::CapTreeTerms t;
  t.valuation = kT0;
  t.start = kT0 + Days(startYears);
  t.end = kT0 + Days(endYears);
  t.capRate = 0.05;
  t.notional = 100.0;
  t.perYear = perYear;
  t.sigma = 0.01;
  t.meanReversion = 0.1;
  t.stepCount = lorvex::CapTreeStepCount(20, startYears);
  return t;
}

// Each row: the export call (status -1 expected) and the tree it builds.
TEST(TreeWork, OversizedRequestsAreRefusedWithTheirEstimate) {
  struct Row {
    const char* name;
    std::function<int(SAFEARRAY**, double*)> call;
    std::function<lorvex::TreeBuildArgs(const lorvex::ZeroCurve&, std::function<void(const lorvex::TreeBuildArgs&)>)>
        tree;
    lorvex::TreeRefusal::Limit limit;
  };
  auto bondTree = [](lorvex::BondTreeTerms t) {
    return [t](const lorvex::ZeroCurve& c, std::function<void(const lorvex::TreeBuildArgs&)> use) {
      const lorvex::BondTreeSetup s(t, c);
      use(s.Args());
      return s.Args();
    };
  };
  auto capTree = [](lorvex::CapTreeTerms t) {
    return [t](const lorvex::ZeroCurve& c, std::function<void(const lorvex::TreeBuildArgs&)> use) {
      const lorvex::CapTreeSetup s(t, c);
      use(s.Args());
      return s.Args();
    };
  };
  const std::vector<Row> rows = {
      {"annual caplets to the year 9000",
       [](SAFEARRAY** c, double* v) { return HW_TreeCap(kSerial, 7000.0, 1.0, 0.05, 100, 1, 1, c, 0.01, 0.1, 20, 0, v); },
       capTree(Cap(7000.0, 1.0, 1)), lorvex::TreeRefusal::kWork},
      {"quarterly caplets for 1000 years",
       [](SAFEARRAY** c, double* v) { return HW_TreeCap(kSerial, 1000.0, 1.0, 0.05, 100, 4, 1, c, 0.01, 0.1, 20, 0, v); },
       capTree(Cap(1000.0, 1.0, 4)), lorvex::TreeRefusal::kWork},
      {"16000 steps to 67 days, no mean reversion",
       [](SAFEARRAY** c, double* v) {
         return HW_TreeBondOption(kSerial, 26.0, 0.05, 100, 2, 0.1835, 100, 1, 0, 0, c, 0.01, 0.0, 16000, 0, v);
       },
       bondTree(Bond(26.0, 0.1835, 16000, 0.0)), lorvex::TreeRefusal::kWork},
  };
  Curve curve(ThreePoints());
  const lorvex::ZeroCurve jdn = ToJdn(ThreePoints());
  for (const Row& r : rows) {
    double value = 42.0;
    EXPECT_EQ(r.call(curve.get(), &value), -1) << r.name;
    EXPECT_EQ(value, 0.0) << r.name;
    r.tree(jdn, [&](const lorvex::TreeBuildArgs& args) {
      const lorvex::HullWhiteTree tree(args);
      EXPECT_EQ(tree.status(), -1) << r.name;
      EXPECT_EQ(tree.refusal().limit, r.limit) << r.name;
      EXPECT_EQ(tree.refusal().budget, lorvex::kTreeWorkBudget) << r.name;
      EXPECT_GT(tree.refusal().estimate, lorvex::kTreeWorkBudget) << r.name;
      EXPECT_EQ(tree.refusal().estimate, tree.workEstimate().nodeMaturities) << r.name;
    });
  }
}

// The rate spacing reads level 1: its lattice stops there, however many
// steps run to the expiry (5600 equal steps without mean reversion would
// be 31 million nodes).
TEST(TreeWork, RateSpacingBuildsTheLevelsItReads) {
  Curve curve({{36526, 0.05}});
  double spacing = 0.0;
  ASSERT_EQ(HW_BondTreeRateDelta(36526, 10.0, 6.0, curve.get(), 0.01, 0.0, 5600, 0, &spacing), 0);
  // sigma sqrt(3 dt) with dt = 2190 / 5600 days (grid dates are Julian days
  // near 2.4 million, so so short a step carries about 1e-10 of rounding).
  const double expected = 0.01 * std::sqrt(3.0 * 2190.0 / 5600.0 / 365.0);
  EXPECT_NEAR(spacing, expected, 1e-9 * expected);
  double capSpacing = 0.0;
  ASSERT_EQ(HW_CapTreeRateDelta(36526, 1.0, 500.0, 4, curve.get(), 0.01, 0.1, 10000, 0, &capSpacing), 0);
  // 20 steps a year: the year to the first reset splits into 21 steps.
  EXPECT_NEAR(capSpacing, 0.01 * std::sqrt(3.0 / 21.0), 1e-9 * capSpacing);
}

// A swap that ends (1 year) before it starts (19 years) pays nothing after
// its start: the swaption is 0, and no level past the root's branching is
// built for it.
TEST(TreeWork, SwapEndingBeforeItStartsIsWorthNothing) {
  Curve curve(ThreePoints());
  double value = 42.0;
  ASSERT_EQ(HW_TreeSwapOption(kSerial, 1.0, 19.0, 0.05, 100, 2, 1, curve.get(), 0.01, 0.0, 100, 0, &value), 0);
  EXPECT_EQ(value, 0.0);
  lorvex::SwapTreeTerms t;
  t.valuation = kT0;
  t.start = kT0 + Days(19.0);
  t.end = kT0 + Days(1.0);
  t.fixedRate = 0.05;
  t.notional = 100.0;
  t.sigma = 0.01;
  t.stepCount = 100;
  const lorvex::SwapTreeSetup setup(t, ToJdn(ThreePoints()));
  ASSERT_EQ(setup.status(), 0);
  EXPECT_TRUE(setup.Worthless());
  const lorvex::HullWhiteTree tree(setup.Args());
  ASSERT_EQ(tree.status(), 0);
  EXPECT_LE(tree.lastBuiltLevel(), 1);
}

// Lognormal and shape trees price the bond only at nodes in reach (state
// prices above 1e-30 of their level's). On a wide lattice, whose reach is
// a quarter of the expiry level, American calls and puts, out of and deep
// in the money, price as when every node is priced.
TEST(TreeWork, NodesOutOfReachLeaveAmericanPricesAlone) {
  const lorvex::ZeroCurve curve = ToJdn(ThreePoints());
  for (int kind : {1, 2}) {
    for (const double strike : {80.0, 120.0}) {
      for (const bool put : {false, true}) {
        lorvex::BondTreeTerms t = Bond(10.0, 2.0, 800, 0.01);
        t.kind = kind;
        t.sigma = 0.3;
        t.strike = strike;
        t.isAmerican = true;
        lorvex::BondTreeSetup setup(t, curve);
        double price[2] = {};
        for (const bool inReach : {false, true}) {
          lorvex::TreeBuildArgs args = setup.Args();
          args.readsInReach = inReach;
          const lorvex::HullWhiteTree tree(args);
          ASSERT_EQ(tree.status(), 0);
          lorvex::LatticeLevel expiry;
          expiry.Reserve(static_cast<std::size_t>(tree.MaxNodeCount()));
          tree.LoadLevel(tree.expiryLevel(), expiry);
          EXPECT_EQ(expiry.reachTo - expiry.reachFrom < expiry.count / 4, inReach);
          price[inReach] = lorvex::TreeBondOptionRollback(setup.exercise, true, put, setup.bond, tree, false, nullptr);
        }
        EXPECT_NEAR(price[1], price[0], 1e-13 * price[0]) << kind << " " << strike << " " << put;
        EXPECT_GT(price[0], 0.0);
      }
    }
  }
}

// a = -5000 a year over one 10-year step: the last level's branching
// offsets pass 2^31; the tree is refused before any is converted (this
// test runs under the undefined-behaviour sanitizer too). The lognormal
// tree builds every level, the normal one would stop at the expiry.
TEST(TreeWork, StronglyNegativeMeanReversionIsRefused) {
  Curve curve(ThreePoints());
  for (int kind : {0, 1}) {
    double value = 42.0;
    EXPECT_EQ(HW_TreeBondOption(kSerial, 12.0, 0.05, 100, 2, 10.0, 100, 1, 0, 0, curve.get(), kind == 0 ? 0.01 : 0.2,
                                -5000, 1, kind, &value),
              -1)
        << kind;
    EXPECT_EQ(value, 0.0) << kind;
  }
}

}  // namespace
