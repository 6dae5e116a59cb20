// BondPricer prices as bond_price does, to the last bit, and refuses what it
// refuses with the same status and argument, whichever bonds it priced
// before and in whatever order.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "lorvex/lorvex.hpp"

namespace {

using namespace lorvex;

bool SameBits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

struct Outcome {
  double price = 0.0;
  int status = 0;
  std::string argument;
};

template <class Price>
Outcome Attempt(Price&& price) {
  Outcome o;
  try {
    o.price = price();
  } catch (const Error& e) {
    o.status = e.status();
    o.argument = e.argument();
  }
  return o;
}

// Curves in serials: points before the valuation dates and past the longest
// bond, and one whose points all lie inside the bonds' lives (flat beyond).
const Curve& Wide() {
  static const Curve c({30000, 36526, 37622, 40179, 47484, 80000}, {0.03, 0.045, 0.05, 0.055, 0.06, 0.052});
  return c;
}
const Curve& Inner() {
  static const Curve c({38000, 36900, 45000}, {0.051, 0.047, 0.058});
  return c;
}

TEST(BondPricer, EqualsBondPriceToTheLastBit) {
  // Two pricers per curve, on 1 January 2000 and on 29 February 2000, each
  // asked in turn for bonds of its own date and of others (priced by
  // bond_price itself), short and long maturities alternating, up to and
  // past the 100 years of remembered discount factors.
  const double maturities[] = {0.1, 60, 0.5, 30.25, 1, 99.99, 2.3, 100.01, 5, 120, 10.7, 0.0, 1e-3, 45.5};
  const int frequencies[] = {1, 2, 4, 12, 3};
  const int valuations[] = {36526, 36585, 36527, 40000};
  int priced = 0;
  for (const Curve* curve : {&Wide(), &Inner()}) {
    BondPricer first(*curve, valuations[0]);
    BondPricer second(*curve, valuations[1]);
    for (int pass = 0; pass < 2; ++pass) {
      for (const double maturity : maturities) {
        for (const int frequency : frequencies) {
          for (const int valuation : valuations) {
            const BondPriceArgs args{.valuation = valuation, .maturity = maturity, .coupon = 0.0625 - pass * 0.01,
                                     .face = 100.0, .frequency = frequency};
            const double expected = bond_price(args, *curve);
            for (BondPricer* pricer : {&first, &second}) {
              const double got = (*pricer)(args);
              ASSERT_TRUE(SameBits(got, expected))
                  << "pricer of " << pricer->valuation() << ", valuation " << valuation << " maturity " << maturity
                  << " frequency " << frequency << ": expected " << expected << ", got " << got;
              ++priced;
            }
          }
        }
      }
    }
  }
  EXPECT_EQ(priced, 2 * 2 * 14 * 5 * 4 * 2);
}

TEST(BondPricer, RefusesAsBondPrice) {
  constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
  constexpr double kInf = std::numeric_limits<double>::infinity();
  // (pricer's valuation, bond): the pricer's own date and another, each
  // with a number that is not finite, a date outside the calendar, and a
  // price that overflows.
  struct Row {
    int pricerValuation;
    BondPriceArgs args;
  };
  const Row rows[] = {
      {36526, {.valuation = 36526, .maturity = kNaN, .coupon = 0.05}},
      {36526, {.valuation = 36526, .maturity = 2, .coupon = kInf}},
      {36526, {.valuation = 36526, .maturity = 2, .coupon = 0.05, .face = -kInf}},
      {36526, {.valuation = 36526, .maturity = 9000, .coupon = 0.05}},
      {36526, {.valuation = 36526, .maturity = -40000, .coupon = 0.05}},
      {36526, {.valuation = 36526, .maturity = 5.5, .coupon = 1e6, .face = 1e306}},
      {36526, {.valuation = 3000000, .maturity = 2, .coupon = 0.05}},
      {3000000, {.valuation = 3000000, .maturity = 2, .coupon = 0.05}},
      {-700000, {.valuation = -700000, .maturity = 2, .coupon = 0.05}},
      {3000000, {.valuation = 36526, .maturity = kNaN, .coupon = 0.05}},
  };
  for (const Row& row : rows) {
    BondPricer pricer(Wide(), row.pricerValuation);
    Attempt([&] { return pricer({.valuation = row.pricerValuation, .maturity = 3, .coupon = 0.05}); });
    const Outcome want = Attempt([&] { return bond_price(row.args, Wide()); });
    const Outcome got = Attempt([&] { return pricer(row.args); });
    EXPECT_NE(want.status, 0) << row.args.valuation << " " << row.args.maturity;
    EXPECT_EQ(got.status, want.status) << row.args.valuation << " " << row.args.maturity;
    EXPECT_EQ(got.argument, want.argument) << row.args.valuation << " " << row.args.maturity;
  }
}

}  // namespace
