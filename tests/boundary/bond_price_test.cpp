// HW_BondPrice through the export, with portable arrays.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <thread>
#include <vector>

#include "lorvex/lorvex.h"
#include "test_arrays.h"

namespace {

using Curve = lorvex_test::CurveArray;

// Worked prices on a one-point curve at 5 %, valuation 1 January 2000.
TEST(BondPrice, WorkedValues) {
  struct Row {
    double years, coupon;
    int frequency;
    double expected;
  };
  const Row rows[] = {{2.0, 0.06, 2, 101.7622758}, {2.5, 0.06, 2, 102.1822931}, {1.3, 0.08, 4, 103.7165207}};
  Curve curve({{36526, 0.05}});
  for (const Row& r : rows) {
    double price = 0;
    ASSERT_EQ(HW_BondPrice(36526, r.years, r.coupon, 100, r.frequency, curve.get(), &price), 0);
    EXPECT_NEAR(price, r.expected, 5e-8) << r.years << "y";
  }
}

// On a flat curve a zero-coupon bond is worth face * exp(-r t) exactly.
TEST(BondPrice, ZeroCouponIsTheDiscountFactor) {
  Curve curve({{36526, 0.04}});
  for (double years : {0.5, 1.0, 3.0, 7.25}) {
    double price = 0;
    ASSERT_EQ(HW_BondPrice(36526, years, 0.0, 100, 1, curve.get(), &price), 0);
    EXPECT_NEAR(price, 100 * std::exp(-0.04 * lorvex_test::Days(years) / 365.0), 1e-12) << years;
  }
}

// A failure never leaves the caller's previous value in the result.
TEST(BondPrice, BadInputGivesMinusNineAndZero) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  struct Row {
    std::int32_t serial;
    double years, coupon, face;
  };
  const Row rows[] = {{36526, nan, 0.06, 100},   {36526, 2, nan, 100},     {36526, 2, 0.06, -inf},
                      {36526, 1e308, 0.06, 100}, {36526, -1e308, 0.06, 100}, {36526, 8100, 0.06, 100},
                      {-700000, 2, 0.06, 100},   {2958466, 2, 0.06, 100},   {INT32_MIN, 2, 0.06, 100},
                      {INT32_MAX, 2, 0.06, 100}};
  Curve curve({{36526, 0.05}});
  for (const Row& r : rows) {
    double price = 42.0;
    EXPECT_EQ(HW_BondPrice(r.serial, r.years, r.coupon, r.face, 2, curve.get(), &price), -9)
        << r.serial << " " << r.years;
    EXPECT_EQ(price, 0.0);
  }
  EXPECT_EQ(HW_BondPrice(36526, 2, 0.06, 100, 2, curve.get(), nullptr), -9);
  EXPECT_EQ(HW_BondPrice(36526, 2, 0.06, 100, 2, nullptr, nullptr), -9);
  double price = 42.0;
  EXPECT_EQ(HW_BondPrice(36526, 2, 0.06, 100, 2, nullptr, &price), -4);
  EXPECT_EQ(price, 0.0);
}

// Calls share nothing: many threads pricing at once get the single-threaded
// answers.
TEST(BondPrice, ConcurrentCallsAgreeWithSingleThreadedResults) {
  lorvex_test::Rows rows;
  for (int i = 0; i < 40; ++i) rows.emplace_back(36526 + 180.0 * i, 0.03 + 0.0007 * i);
  Curve curve(rows);
  std::vector<double> expected(200);
  for (std::size_t i = 0; i < expected.size(); ++i) {
    HW_BondPrice(36526, 0.5 + 0.1 * i, 0.05, 100, 2, curve.get(), &expected[i]);
  }
  std::vector<int> mismatches(4, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int pass = 0; pass < 25; ++pass) {
        for (std::size_t i = 0; i < expected.size(); ++i) {
          double price = 0;
          HW_BondPrice(36526, 0.5 + 0.1 * i, 0.05, 100, 2, curve.get(), &price);
          if (price != expected[i]) ++mismatches[t];
        }
      }
    });
  }
  for (auto& th : threads) th.join();
  for (int m : mismatches) EXPECT_EQ(m, 0);
}

}  // namespace
