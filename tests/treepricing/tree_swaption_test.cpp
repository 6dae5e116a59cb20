// HW_TreeSwapOption: parity with the swap rolled back through the tree,
// the swap's value today, the closed-form Hull-White swaption, and the
// statuses of bad input.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <vector>

#include "hwtree/hull_white_tree.h"
#include "lorvex/lorvex.h"
#include "market/zero_curve.h"
#include "treepricing/node_curve.h"
#include "treepricing/tree_rollback.h"
#include "treepricing/tree_swap_option.h"
#include "test_arrays.h"

namespace {

using Curve = lorvex_test::CurveArray;
using lorvex_test::Days;
using lorvex_test::Rows;
using lorvex_test::SlopedRows;
using lorvex_test::ToJdn;

constexpr int kSerial = 36892;     // 1 January 2001
constexpr int kT0 = 2451911;       // its Julian day

struct Swaption {
  double endYears = 5.0;
  double startYears = 1.0;
  double fixedRate = 0.05;
  double notional = 100.0;
  int perYear = 2;
  int receiver = 1;
  double sigma = 0.01;
  double a = 0.1;
  int steps = 50;
  int kind = 0;
};

int Price(const Swaption& s, SAFEARRAY** curve, double* value) {
  return HW_TreeSwapOption(kSerial, s.endYears, s.startYears, s.fixedRate, s.notional, s.perYear, s.receiver,
                           curve, s.sigma, s.a, s.steps, s.kind, value);
}

double TreePrice(const Swaption& s, SAFEARRAY** curve) {
  double v = std::nan("");
  EXPECT_EQ(Price(s, curve, &v), 0);
  return v;
}

// The swap itself (strike 0 on its value) rolled back through the same
// tree the export builds: the Arrow-Debreu-weighted value of the swap at
// the exercise level's nodes.
double SwapRolledBack(const Swaption& s, const Rows& rows) {
  lorvex::ZeroCurve curve = ToJdn(rows);
  lorvex::SwapTreeTerms terms;
  terms.valuation = kT0;
  terms.start = kT0 + Days(s.startYears);
  terms.end = kT0 + Days(s.endYears);
  terms.fixedRate = s.fixedRate;
  terms.notional = s.notional;
  terms.perYear = s.perYear;
  terms.sigma = s.sigma;
  terms.meanReversion = s.a;
  terms.stepCount = s.steps;
  terms.kind = s.kind;
  lorvex::SwapTreeSetup setup(terms, curve);
  EXPECT_EQ(setup.status(), 0);
  lorvex::HullWhiteTree tree(setup.Args());
  EXPECT_EQ(tree.status(), 0);
  const int expiry = tree.expiryLevel();
  EXPECT_EQ(tree.LevelDate(expiry), terms.start);
  // The swap as a tree instrument of its own: its value at the exercise
  // level, rolled back untouched.
  struct SwapOnTree : lorvex::TreeInstrument {
    const lorvex::HullWhiteTree& tree;
    const lorvex::SwapSchedule& swap;
    int start;
    lorvex::NodeCurves curves{tree};
    SwapOnTree(const lorvex::HullWhiteTree& t, const lorvex::SwapSchedule& s, int d) : tree(t), swap(s), start(d) {}
    bool AdjustValues(const lorvex::LatticeLevel& level, double* values) override {
      if (level.index != tree.expiryLevel()) return true;
      if (!curves.PrepareLevel(level)) return false;
      for (int j = 0; j < level.count; ++j) values[j] = swap.SwapValue(0, start, start, *curves.Build(j));
      return true;
    }
  } swapOnTree(tree, setup.swap, terms.start);
  return lorvex::RollBack(tree, swapOnTree);
}

// Today's value of the forward swap: fixed minus floating for the periods
// after the start, discounted on the curve as given.
double SwapToday(const Swaption& s, const Rows& rows) {
  const lorvex::ZeroCurve curve = ToJdn(rows);
  const lorvex::SwapSchedule swap(s.notional, s.fixedRate, 0.0, kT0 + Days(s.startYears), kT0 + Days(s.endYears),
                                  s.perYear, s.perYear);
  const int start = kT0 + Days(s.startYears);
  return swap.SwapValue(0, kT0, start, curve);
}

// Receiver - payer is the swap rolled back through the tree (the strike is
// 0 on the swap's value, so max(V, 0) - max(-V, 0) = V at every node), to
// rounding. Against today's value of the forward swap: the lognormal and
// shape trees price each node's bonds in the tree itself, which reprices
// every discount factor to its fit tolerance of 1e-7, so the swap (about
// 2 + K * sum of accruals discount factors of notional 100) agrees within
// 1e-4; the normal tree takes its node curves from the closed-form bond
// prices, whose short rate is read from the node's rate over the step after
// the start (up to 45.625 days), so it agrees to first order in that step
// only: measured up to 1.4e-3 on 100 at 4 steps a year, 7e-4 at 30.
TEST(TreeSwapOption, ReceiverMinusPayerIsTheSwap) {
  const Rows rows = SlopedRows(kSerial);
  Curve curve(rows);
  struct Row {
    int kind;
    double sigma;
    double todayTolerance;
  };
  for (const Row& r : {Row{0, 0.01, 2e-3}, Row{1, 0.2, 1e-4}, Row{2, 0.2, 1e-4}}) {
    for (double strike : {0.03, 0.045, 0.06, 0.08}) {
      for (int steps : {4, 30}) {
        Swaption s;
        s.kind = r.kind;
        s.sigma = r.sigma;
        s.fixedRate = strike;
        s.steps = steps;
        const double receiver = TreePrice(s, curve.get());
        s.receiver = 0;
        const double payer = TreePrice(s, curve.get());
        s.receiver = 2;  // any flag but 1 is the payer
        EXPECT_EQ(TreePrice(s, curve.get()), payer);
        EXPECT_GE(std::min(receiver, payer), 0.0);
        EXPECT_NEAR(receiver - payer, SwapRolledBack(s, rows), 1e-11) << r.kind << " " << strike;
        EXPECT_NEAR(receiver - payer, SwapToday(s, rows), r.todayTolerance) << r.kind << " " << strike;
      }
    }
  }
}

// Against HW_HullWhiteSwapOption on matching dates: 1 January 2002 to 1
// January 2004 paid once a year, so each fixed accrual is 365/365 and the
// swap's fixed leg is exactly the closed form's coupon bond. What is left
// is the tree: the node's rate is the rate over the step that follows it,
// and on the swaption's grid the step after the exercise date is up to
// 45.625 days; read back as an instantaneous short rate through the
// closed-form bond price it spreads the node rates by about a*dt/2 more
// than the model (0.5 % to 0.7 % at the money). A curve point 6 days after the
// exercise date shortens that step and takes the difference to 0.15 %.
// Out of the money the lattice's coarseness in the tail adds to it.
TEST(TreeSwapOption, CloseToTheClosedFormOnMatchingDates) {
  const Rows plain = {{kSerial, 0.05}};
  const Rows shortStep = {{kSerial, 0.05}, {kSerial + 371, 0.05}};
  struct Row {
    double strike;
    int receiver;
    double plainTolerance;      // absolute, on a notional of 100
    double shortStepTolerance;
  };
  const Row rows[] = {{0.04, 1, 3e-3, 6e-4}, {0.04, 0, 3e-3, 6e-4}, {0.05, 1, 6e-3, 1.5e-3},
                      {0.05, 0, 6e-3, 1.5e-3}, {0.06, 1, 4e-3, 6e-4}, {0.06, 0, 4e-3, 6e-4}};
  for (const Row& r : rows) {
    Swaption s;
    s.startYears = 1.0;
    s.endYears = 3.0;
    s.perYear = 1;
    s.fixedRate = r.strike;
    s.receiver = r.receiver;
    s.steps = 365;
    Curve a(plain);
    Curve b(shortStep);
    double closed = 0.0;
    ASSERT_EQ(HW_HullWhiteSwapOption(kSerial, 1.0, 3.0, r.strike, 100.0, 1, 0.01, 0.1, r.receiver, a.get(), &closed),
              0);
    const double plainError = std::fabs(TreePrice(s, a.get()) - closed);
    const double shortError = std::fabs(TreePrice(s, b.get()) - closed);
    EXPECT_LT(plainError, r.plainTolerance) << r.strike << " " << r.receiver;
    EXPECT_LT(shortError, r.shortStepTolerance) << r.strike << " " << r.receiver;
    EXPECT_LT(shortError, plainError / 2) << r.strike << " " << r.receiver;
  }
}

// Exercise is on the swap's start only: starting today, the swaption is
// the swap's positive (receiver) or negative (payer) part on today's curve;
// a start before today has no level and is worth 0.
TEST(TreeSwapOption, ExerciseOnTheStartDateOnly) {
  const Rows rows = SlopedRows(kSerial);
  Curve curve(rows);
  for (int kind : {0, 1}) {
    for (double strike : {0.03, 0.07}) {
      Swaption s;
      s.kind = kind;
      s.sigma = kind == 0 ? 0.01 : 0.2;
      s.startYears = 0.0;
      s.fixedRate = strike;
      const double today = SwapToday(s, rows);
      const double tolerance = kind == 0 ? 1e-3 : 1e-4;
      EXPECT_NEAR(TreePrice(s, curve.get()), std::max(today, 0.0), tolerance) << kind << " " << strike;
      s.receiver = 0;
      EXPECT_NEAR(TreePrice(s, curve.get()), std::max(-today, 0.0), tolerance) << kind << " " << strike;
      s.startYears = -0.5;
      EXPECT_EQ(TreePrice(s, curve.get()), 0.0);
    }
  }
}

// Statuses: the curve reader's codes first, then -9 for arguments outside
// the calculation, -2 for a rejected swap schedule, -1 when the tree cannot
// be built; the result is 0 after every failure.
TEST(TreeSwapOption, BadInput) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  Curve curve(SlopedRows(kSerial));
  struct Row {
    const char* name;
    std::function<void(Swaption&)> change;
    int status;
  };
  const std::vector<Row> rows = {
      {"NaN end", [nan](Swaption& s) { s.endYears = nan; }, -9},
      {"infinite start", [inf](Swaption& s) { s.startYears = inf; }, -9},
      {"NaN fixed rate", [nan](Swaption& s) { s.fixedRate = nan; }, -9},
      {"infinite notional", [inf](Swaption& s) { s.notional = -inf; }, -9},
      {"NaN volatility", [nan](Swaption& s) { s.sigma = nan; }, -9},
      {"NaN mean reversion", [nan](Swaption& s) { s.a = nan; }, -9},
      {"end past year 9999", [](Swaption& s) { s.endYears = 9000; }, -9},
      {"start before year 1", [](Swaption& s) { s.startYears = -2500; }, -9},
      {"3 payments a year", [](Swaption& s) { s.perYear = 3; }, -2},
      {"0 payments a year", [](Swaption& s) { s.perYear = 0; }, -2},
      {"no steps", [](Swaption& s) { s.steps = 0; }, -1},
      {"negative steps", [](Swaption& s) { s.steps = -3; }, -1},
      {"a dt of 1 or more", [](Swaption& s) { s.a = 800; s.steps = 1; }, -1},
      {"enormous tree", [](Swaption& s) { s.steps = 2000000000; }, -1},
      {"value beyond the doubles", [](Swaption& s) { s.notional = 1e308; s.fixedRate = 100; }, -9},
  };
  for (const Row& r : rows) {
    Swaption s;
    r.change(s);
    double value = 42.0;
    EXPECT_EQ(Price(s, curve.get(), &value), r.status) << r.name;
    EXPECT_EQ(value, 0.0) << r.name;
  }
  Swaption s;
  EXPECT_EQ(Price(s, curve.get(), nullptr), -9);
  double value = 42.0;
  SAFEARRAY* none = nullptr;
  EXPECT_EQ(Price(s, &none, &value), -4);
  EXPECT_EQ(value, 0.0);
  // A swap ending before it starts has no payments: worth nothing.
  s.endYears = 0.5;
  EXPECT_EQ(Price(s, curve.get(), &value), 0);
  EXPECT_EQ(value, 0.0);
}

}  // namespace
