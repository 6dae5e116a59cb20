#include "market/zero_curve.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace lorvex {
namespace {

TEST(ZeroCurve, EmptyReadsZeroEverywhere) {
  ZeroCurve curve;
  EXPECT_EQ(curve.Count(), 0);
  for (double x : {-1e9, 0.0, 2451545.0}) EXPECT_EQ(curve.Interpolate(x), 0.0);
  EXPECT_EQ(curve.Find(0.0), nullptr);
}

TEST(ZeroCurve, InterpolatesLinearlyAndIsFlatBeyondTheEnds) {
  const double xs[] = {10, 20};
  const double ys[] = {0.04, 0.06};
  ZeroCurve two(2, xs, ys);
  struct Row {
    double x, expected;
  };
  for (const Row& r : {Row{15, 0.05}, Row{10, 0.04}, Row{20, 0.06}, Row{25, 0.06}, Row{5, 0.04}}) {
    EXPECT_NEAR(two.Interpolate(r.x), r.expected, 1e-15) << "x = " << r.x;
  }
  ZeroCurve one(1, xs, ys);
  for (double x : {0.0, 10.0, 20.0}) EXPECT_EQ(one.Interpolate(x), 0.04);
}

TEST(ZeroCurve, KeepsAscendingOrderAndTheFirstValueForARepeatedKey) {
  ZeroCurve curve;
  EXPECT_EQ(curve.Insert(20, 0.06), 0);
  EXPECT_EQ(curve.Insert(10, 0.04), 0);
  EXPECT_EQ(curve.Insert(15, 0.07), 0);
  EXPECT_EQ(curve.Insert(10, 0.09), 0);
  ASSERT_EQ(curve.Count(), 3);
  EXPECT_EQ(curve.XAt(0), 10);
  EXPECT_EQ(curve.XAt(1), 10);
  EXPECT_EQ(curve.XAt(2), 15);
  EXPECT_EQ(curve.XAt(curve.Count()), 20);
  EXPECT_EQ(curve.YAt(1), 0.04);
  ASSERT_NE(curve.Find(15), nullptr);
  EXPECT_EQ(curve.Find(15)->y, 0.07);
  EXPECT_EQ(curve.Find(15.5), nullptr);
}

// The bulk build must give exactly the curve that inserting the points one by
// one in the same order gives, whatever the order and the repeats.
TEST(ZeroCurve, BulkBuildEqualsOrderedInsertion) {
  std::mt19937 rng(7);
  std::uniform_int_distribution<int> key(0, 40);
  std::uniform_real_distribution<double> value(-0.01, 0.1);
  for (int trial = 0; trial < 50; ++trial) {
    std::vector<double> xs(60), ys(60);
    for (std::size_t i = 0; i < xs.size(); ++i) {
      xs[i] = key(rng);
      ys[i] = value(rng);
    }
    ZeroCurve bulk(static_cast<int>(xs.size()), xs.data(), ys.data());
    ZeroCurve one;
    for (std::size_t i = 0; i < xs.size(); ++i) one.Insert(xs[i], ys[i]);
    ASSERT_EQ(bulk.Count(), one.Count());
    for (int n = 1; n <= bulk.Count(); ++n) {
      EXPECT_EQ(bulk.XAt(n), one.XAt(n));
      EXPECT_EQ(bulk.YAt(n), one.YAt(n));
    }
  }
}

TEST(ZeroCurve, CopiesAreDeep) {
  const double xs[] = {1, 2, 3};
  const double ys[] = {0.1, 0.2, 0.3};
  ZeroCurve original(3, xs, ys);
  ZeroCurve copy = original;
  copy.Clear();
  EXPECT_EQ(copy.Count(), 0);
  EXPECT_EQ(copy.status(), 0);
  EXPECT_EQ(original.Count(), 3);
  EXPECT_EQ(original.Interpolate(2.5), 0.25);
}

TEST(ZeroCurve, NanKeysAreIgnoredAndNanLookupsReadTheLastPoint) {
  const double xs[] = {1, std::numeric_limits<double>::quiet_NaN(), 3};
  const double ys[] = {0.1, 0.2, 0.3};
  ZeroCurve curve(3, xs, ys);
  EXPECT_EQ(curve.Count(), 2);
  EXPECT_EQ(curve.Interpolate(std::numeric_limits<double>::quiet_NaN()), 0.3);
}

}  // namespace
}  // namespace lorvex
