// The binomial stock tree against independent references: Black-Scholes as
// the steps grow, put-call parity, early-exercise bounds, and the one-row
// pricing path against the full tree, bit for bit.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "equity/equity_lattice.h"
#include "equity/equity_option.h"
#include "equity/equity_tree.h"
#include "market/zero_curve.h"

namespace lorvex {
namespace {

ZeroCurve Dividends(const std::vector<CurvePoint>& rows) {
  ZeroCurve curve;
  for (const CurvePoint& p : rows) curve.Insert(p.x, p.y);
  return curve;
}

EquityGreeks Price(const EquityOptionTerms& t, const ZeroCurve& dividends) {
  EquityGreeks g{};
  EXPECT_EQ(PriceEquityOption(t, dividends, &g), 0);
  return g;
}

double Cdf(double x) { return 0.5 * std::erfc(-x / std::sqrt(2.0)); }

// Black-Scholes-Merton with a continuous yield, exact normal CDF.
double BlackScholes(const EquityOptionTerms& t) {
  const double sd = t.volatility * std::sqrt(t.expiry);
  const double d1 = (std::log(t.spot / t.strike) + (t.rate - t.yield) * t.expiry) / sd + 0.5 * sd;
  const double d2 = d1 - sd;
  const double s = t.spot * std::exp(-t.yield * t.expiry);
  const double k = t.strike * std::exp(-t.rate * t.expiry);
  return t.type == OptionType::Call ? s * Cdf(d1) - k * Cdf(d2) : k * Cdf(-d2) - s * Cdf(-d1);
}

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

TEST(EquityTree, RollingPathEqualsFullTreeBitForBit) {
  const ZeroCurve none;
  const ZeroCurve two = Dividends({{0.25, 1.5}, {0.75, 2.0}});
  const ZeroCurve late = Dividends({{0.1, 0.8}, {0.9, 1.1}, {1.6, 3.0}});
  struct Row {
    EquityOptionTerms t;
    const ZeroCurve* dividends;
  };
  const Row rows[] = {
      {{100, 100, 0.05, 1, 0, 0.2, 2, Exercise::European, OptionType::Call, false}, &none},
      {{100, 100, 0.05, 1, 0, 0.2, 3, Exercise::American, OptionType::Put, false}, &none},
      {{100, 100, 0.05, 1, 0, 0.2, 4, Exercise::European, OptionType::Call, true}, &two},
      {{100, 95, 0.05, 1, 0.05, 0.3, 57, Exercise::American, OptionType::Call, true}, &two},  // q = r
      {{100, 105, 0.05, 1, 0.05, 0.3, 58, Exercise::European, OptionType::Put, true}, &two},
      {{40, 45, 0.08, 2, 0.01, 0.35, 250, Exercise::American, OptionType::Put, true}, &late},
      {{40, 35, 0.08, 2, 0.01, 0.35, 251, Exercise::American, OptionType::Call, true}, &late},
      {{40, 35, 0.08, 2, 0.01, 0.35, 251, Exercise::European, OptionType::Call, false}, &late},
      {{120, 100, 0.02, 0.5, 0.04, 0.15, 1000, Exercise::American, OptionType::Call, true}, &two},
      {{80, 100, 0.02, 0.5, 0.0, 0.15, 999, Exercise::American, OptionType::Put, false}, &none},
      {{100, 100, 0.9, 1, 0.0, 0.05, 40, Exercise::American, OptionType::Put, false}, &none},  // up-probability above 1
  };
  for (const Row& r : rows) {
    const EquityTree tree(r.t, *r.dividends);
    ASSERT_EQ(tree.status(), 0);
    const EquityGreeks full = GreeksFromTree(tree);
    const EquityGreeks rolled = Price(r.t, *r.dividends);
    EXPECT_TRUE(SameBits(full.value, rolled.value) && SameBits(full.delta, rolled.delta) &&
                SameBits(full.gamma, rolled.gamma) && SameBits(full.theta, rolled.theta))
        << "N " << r.t.steps << " call " << (r.t.type == OptionType::Call) << " American "
        << (r.t.exercise == Exercise::American)
        << ": full " << full.value << " " << full.delta << " " << full.gamma << " " << full.theta
        << ", rolled " << rolled.value << " " << rolled.delta << " " << rolled.gamma << " "
        << rolled.theta;
  }
}

// CRR prices oscillate around Black-Scholes with an error of order 1/N:
// measured |error| * N stays below 4 on these contracts (2.4 at the money,
// 3.8 for the odd/even swing of the out-of-the-money put). The bound allows
// 5 / N per 100 of spot.
TEST(EquityTree, EuropeanConvergesToBlackScholes) {
  const EquityOptionTerms contracts[] = {{100, 100, 0.05, 1, 0, 0.2, 0, Exercise::European, OptionType::Call, false},
                                         {100, 110, 0.03, 2, 0.02, 0.3, 0, Exercise::European, OptionType::Put, false},
                                         {50, 40, 0.08, 0.5, 0.01, 0.4, 0, Exercise::European, OptionType::Call, false},
                                         {100, 100, 0.05, 1, 0.05, 0.25, 0, Exercise::European, OptionType::Put, false}};
  const ZeroCurve none;
  for (EquityOptionTerms t : contracts) {
    const double exact = BlackScholes(t);
    for (int n : {10, 11, 100, 101, 1000, 1001, 10000}) {
      t.steps = n;
      const double tolerance = 0.05 * t.spot / n;
      EXPECT_NEAR(Price(t, none).value, exact, tolerance) << "K " << t.strike << " N " << n;
    }
  }
}

// Call - put is linear in the payoff, so it rolls back exactly to
// S e^{-qT} + e^{-rT} (D_N - K), with D_N the dividend add-on at expiry;
// only rounding separates the tree from it.
TEST(EquityTree, EuropeanPutCallParity) {
  const ZeroCurve none;
  const ZeroCurve dividends = Dividends({{0.3, 1.0}, {0.8, 1.25}, {1.4, 2.0}});
  struct Row {
    double spot, strike, rate, expiry, yield, vol;
    const ZeroCurve* dividends;
  };
  const Row rows[] = {{100, 100, 0.05, 1, 0, 0.2, &none},
                      {100, 90, 0.03, 1, 0.06, 0.4, &dividends},
                      {60, 75, 0.07, 1.5, 0.07, 0.25, &dividends}};
  std::vector<int> steps;
  for (int n = 2; n <= 200; ++n) steps.push_back(n);
  steps.insert(steps.end(), {997, 1000, 5000, 10000});
  for (const Row& r : rows) {
    for (int n : steps) {
      EquityOptionTerms t{r.spot, r.strike, r.rate, r.expiry, r.yield, r.vol, n, Exercise::European, OptionType::Call, true};
      const double call = Price(t, *r.dividends).value;
      t.type = OptionType::Put;
      const double put = Price(t, *r.dividends).value;
      const double addOnAtExpiry = DividendAddOn(*r.dividends, n * (r.expiry / n), r.rate, r.expiry);
      const double parity = r.spot * std::exp(-r.yield * r.expiry) +
                            std::exp(-r.rate * r.expiry) * (addOnAtExpiry - r.strike);
      ASSERT_NEAR(call - put, parity, 1e-9) << "spot " << r.spot << " N " << n;
    }
  }
}

TEST(EquityTree, AmericanAtLeastEuropean) {
  const ZeroCurve none;
  const ZeroCurve dividends = Dividends({{0.2, 3.0}, {0.7, 3.0}});
  for (bool call : {true, false}) {
    for (double strike : {80.0, 100.0, 120.0}) {
      for (int n : {2, 3, 50, 301}) {
        for (const ZeroCurve* d : {&none, &dividends}) {
          EquityOptionTerms t{100, strike, 0.06, 1, 0.02, 0.25, n, Exercise::European, OptionTypeFromFlag(call), true};
          const double european = Price(t, *d).value;
          t.exercise = Exercise::American;
          EXPECT_GE(Price(t, *d).value, european) << call << " " << strike << " " << n;
        }
      }
    }
  }
  // Without dividends of any kind an American call is never exercised early:
  // holding is worth at least S - K e^{-r dt} > S - K.
  for (int n : {2, 25, 400}) {
    EquityOptionTerms t{100, 95, 0.05, 1, 0, 0.3, n, Exercise::European, OptionType::Call, false};
    const double european = Price(t, none).value;
    t.exercise = Exercise::American;
    EXPECT_EQ(Price(t, none).value, european) << n;
  }
}

// Independent reference: 6.0903576 by QuantLib's Leisen-Reimer binomial
// engine at 20,001 steps (S = K = 100, r = 5 %, sigma = 20 %, T = 1).
// CRR approaches it from below; measured gaps 7.6e-4 (N = 1,000) and
// 6.5e-5 (N = 10,000).
TEST(EquityTree, AmericanPutConvergesToReference) {
  const ZeroCurve none;
  const struct {
    int n;
    double tolerance;
  } rows[] = {{1000, 1e-3}, {10000, 1e-4}};
  for (const auto& r : rows) {
    const EquityOptionTerms t{100, 100, 0.05, 1, 0, 0.2, r.n, Exercise::American, OptionType::Put, false};
    EXPECT_NEAR(Price(t, none).value, 6.0903576, r.tolerance) << r.n;
  }
}

// Greeks against Black-Scholes at N = 2,000, differences of O(1/N):
// delta and gamma from the nodes after one and two steps, theta per day.
TEST(EquityTree, GreeksApproachBlackScholes) {
  const double spot = 100, strike = 100, rate = 0.05, vol = 0.2, expiry = 1;
  const double sd = vol * std::sqrt(expiry);
  const double d1 = (std::log(spot / strike) + rate * expiry) / sd + 0.5 * sd;
  const double d2 = d1 - sd;
  const double pdf = std::exp(-0.5 * d1 * d1) / std::sqrt(2 * M_PI);
  const double delta = Cdf(d1);
  const double gamma = pdf / (spot * sd);
  const double thetaPerDay =
      (-spot * pdf * vol / (2 * std::sqrt(expiry)) - rate * strike * std::exp(-rate * expiry) * Cdf(d2)) /
      365;
  const EquityGreeks g = Price({spot, strike, rate, expiry, 0, vol, 2000, Exercise::European, OptionType::Call, false}, ZeroCurve());
  EXPECT_NEAR(g.delta, delta, 1e-3);
  EXPECT_NEAR(g.gamma, gamma, 1e-4);
  EXPECT_NEAR(g.theta, thetaPerDay, 1e-4);
  // Deep in the money, q = 0: the call moves one for one with the stock
  // (N(d1) = 1 - 3e-9 at S = 3K).
  const EquityGreeks deep = Price({300, 100, 0.05, 1, 0, 0.2, 500, Exercise::European, OptionType::Call, false}, ZeroCurve());
  EXPECT_NEAR(deep.delta, 1.0, 1e-8);
  EXPECT_NEAR(deep.gamma, 0.0, 1e-9);
}

TEST(EquityTree, DividendAddOnWindow) {
  // T = 1, r = 4 %: dt = 0.25, level times 0, 0.25, 0.5, 0.75, 1.
  const double r = 0.04;
  const ZeroCurve divs = Dividends({{-0.1, 9.0}, {0.5, 2.0}, {1.0, 1.0}, {1.75, 4.0}, {2.5, 8.0}});
  const EquityOptionTerms on{100, 100, r, 1, 0, 0.2, 4, Exercise::European, OptionType::Call, true};
  const EquityTree tree(on, divs);
  ASSERT_EQ(tree.status(), 0);
  // Negative times never count; a dividend at tau = 0 counts undiscounted,
  // tau = T counts; after expiry, dividends within T of a level count too.
  const double expected[5] = {2.0 * std::exp(-r * 0.5) + 1.0 * std::exp(-r * 1.0),
                              2.0 * std::exp(-r * 0.25) + 1.0 * std::exp(-r * 0.75),
                              2.0 + 1.0 * std::exp(-r * 0.5),
                              1.0 * std::exp(-r * 0.25) + 4.0 * std::exp(-r * 1.0),
                              1.0 + 4.0 * std::exp(-r * 0.75)};
  for (int k = 0; k <= 4; ++k) {
    EXPECT_NEAR(tree.DividendAddOnAt(k), expected[k], 1e-14) << k;
    for (int m = 0; m <= k; ++m) {
      EXPECT_EQ(tree.PriceAt(k, m), 100 * std::pow(tree.Lattice().up, 2 * m - k) + tree.DividendAddOnAt(k));
    }
  }
  // Off, or on with an empty list: the same tree as without dividends.
  EquityOptionTerms off = on;
  off.useDividends = false;
  const EquityTree ignored(off, divs);
  const EquityTree empty(on, ZeroCurve());
  for (int k = 0; k <= 4; ++k) {
    EXPECT_EQ(ignored.DividendAddOnAt(k), 0.0);
    for (int m = 0; m <= k; ++m) {
      EXPECT_TRUE(SameBits(ignored.ValueAt(k, m), empty.ValueAt(k, m)) &&
                  SameBits(ignored.PriceAt(k, m), empty.PriceAt(k, m)));
    }
  }
}

TEST(EquityTree, ExerciseFlags) {
  // N even and K = S: the middle expiry node sits exactly on the strike.
  for (bool call : {true, false}) {
    const EquityTree european({100, 100, 0.05, 1, 0, 0.2, 10, Exercise::European, OptionTypeFromFlag(call), false}, ZeroCurve());
    for (int k = 0; k < 10; ++k) {
      for (int m = 0; m <= k; ++m) EXPECT_FALSE(european.ExercisedAt(k, m));
    }
    for (int m = 0; m <= 10; ++m) {
      const double payoff = call ? european.PriceAt(10, m) - 100 : 100 - european.PriceAt(10, m);
      EXPECT_EQ(european.ExercisedAt(10, m), payoff > 0) << m;
    }
    EXPECT_EQ(european.PriceAt(10, 5), 100.0);
    EXPECT_FALSE(european.ExercisedAt(10, 5));
  }
  // An American put is exercised on the low side of each level: an exercised
  // node is worth its payoff, and every lower node is exercised too.
  const EquityTree put({100, 100, 0.08, 1, 0, 0.2, 60, Exercise::American, OptionType::Put, false}, ZeroCurve());
  int exercised = 0;
  for (int k = 0; k < 60; ++k) {
    for (int m = 1; m <= k; ++m) {
      if (put.ExercisedAt(k, m)) {
        ++exercised;
        EXPECT_TRUE(put.ExercisedAt(k, m - 1)) << k << " " << m;
        EXPECT_EQ(put.ValueAt(k, m), 100 - put.PriceAt(k, m));
      }
    }
  }
  EXPECT_GT(exercised, 0);
}

TEST(EquityTree, MemoryBudgetRefusesBeforeAllocating) {
  EXPECT_LT(EquityTree::StorageBytes(5600), kEquityTreeBudgetBytes);
  EXPECT_GT(EquityTree::StorageBytes(5700), kEquityTreeBudgetBytes);
  // 85 GB of nodes: refused at once rather than attempted.
  const EquityTree huge({100, 100, 0.05, 1, 0, 0.2, kMaxEquitySteps, Exercise::American, OptionType::Put, false}, ZeroCurve());
  EXPECT_EQ(huge.status(), -1);
  EXPECT_GT(EquityTree::StorageBytes(2147483647), kEquityTreeBudgetBytes);
}

TEST(EquityTree, TermsAndLatticeChecks) {
  const EquityOptionTerms good{100, 100, 0.05, 1, 0, 0.2, 2, Exercise::European, OptionType::Call, false};
  EXPECT_TRUE(EquityTermsAccepted(good));
  const double nan = std::nan("");
  struct Row {
    EquityOptionTerms t;
    bool accepted;
  };
  const Row rows[] = {{{100, 100, 0.05, 1, 0, 0.2, 1, Exercise::European, OptionType::Call, false}, false},
                      {{100, 100, 0.05, 1, 0, 0.2, kMaxEquitySteps, Exercise::European, OptionType::Call, false}, true},
                      {{100, 100, 0.05, 1, 0, 0.2, kMaxEquitySteps + 1, Exercise::European, OptionType::Call, false}, false},
                      {{100, 100, 0.05, 0, 0, 0.2, 2, Exercise::European, OptionType::Call, false}, false},
                      {{100, 100, 0.05, 1, 0, 0, 2, Exercise::European, OptionType::Call, false}, false},
                      {{100, 100, 0.05, 1, nan, 0.2, 2, Exercise::European, OptionType::Call, false}, false},
                      {{0, 0, -0.05, 1, 0, 0.2, 2, Exercise::European, OptionType::Call, false}, true},
                      {{-5, 100, 0.05, 1, 0, 0.2, 2, Exercise::European, OptionType::Call, false}, false},
                      {{100, -1e-300, 0.05, 1, 0, 0.2, 2, Exercise::European, OptionType::Call, false}, false}};
  for (const Row& r : rows) EXPECT_EQ(EquityTermsAccepted(r.t), r.accepted) << r.t.steps;
  // u and d equal in doubles, factors overflowing, or a top stock price
  // S u^N beyond the largest double: no lattice.
  EXPECT_FALSE(MakeEquityLattice({100, 100, 0.05, 1, 0, 1e-300, 2, Exercise::European, OptionType::Call, false}).Usable());
  EXPECT_FALSE(MakeEquityLattice({100, 100, 0.05, 1, 0, 2000, 2, Exercise::European, OptionType::Call, false}).Usable());
  EXPECT_FALSE(MakeEquityLattice({100, 100, 1e5, 1, 0, 0.2, 2, Exercise::European, OptionType::Call, false}).Usable());
  // The top price S u^N: infinite at sigma 300 over ten steps, finite at 200.
  EXPECT_FALSE(std::isfinite(
      MakeEquityLattice({100, 0, 0, 1, 0, 300, 10, Exercise::European, OptionType::Put, false}).highestPrice));
  EXPECT_TRUE(std::isfinite(
      MakeEquityLattice({100, 0, 0, 1, 0, 200, 10, Exercise::European, OptionType::Put, false}).highestPrice));
  EXPECT_TRUE(MakeEquityLattice(good).Usable());
}

}  // namespace
}  // namespace lorvex
