// The state-to-rate maps: each kind's pair of maps are inverse to each
// other, the slopes are their derivatives, and bad shapes fall back to the
// normal form.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "hwtree/rate_transform.h"

namespace lorvex {
namespace {

struct TransformCase {
  const char* name;
  int kind;
  std::vector<ShapePoint> pairs;
  int expectedKind;
};

const TransformCase kTransforms[] = {
    {"normal", 0, {}, 0},
    {"lognormal", 1, {}, 1},
    {"unknown kind is normal", 7, {}, 0},
    {"shape g(r) = r", 2, {{0.01, 0.01}}, 2},
    {"shape with a flat top", 2, {{0.02, 0.01}, {0.04, 0.01}}, 2},
    {"shape rising then falling", 2, {{0.01, 0.02}, {0.03, 0.05}, {0.06, 0.03}}, 2},
    {"first knot at 0 is normal", 2, {{0.0, 0.01}}, 0},
    {"knots not rising is normal", 2, {{0.02, 0.01}, {0.02, 0.02}}, 0},
    {"negative shape is normal", 2, {{0.02, 0.01}, {0.03, -0.01}}, 0},
    {"no pairs is normal", 2, {}, 0},
};

// StateFromRate and RateFromState undo each other, also across knots, and
// the slopes agree with central differences.
TEST(RateTransform, MapsAreInverseAndSlopesAreDerivatives) {
  const double rates[] = {0.001, 0.005, 0.0199, 0.02, 0.0201, 0.035, 0.05, 0.09};
  for (const TransformCase& c : kTransforms) {
    const RateTransform t(c.kind, c.pairs);
    EXPECT_EQ(t.kind(), c.expectedKind) << c.name;
    EXPECT_EQ(t.status(), 0) << c.name;
    for (double r : rates) {
      const double x = t.StateFromRate(r);
      EXPECT_NEAR(t.RateFromState(x), r, 1e-14) << c.name << " r=" << r;
      const double h = 1e-6;
      const double numeric = (t.RateFromState(x + h) - t.RateFromState(x - h)) / (2 * h);
      EXPECT_NEAR(t.RateSlope(x), numeric, 1e-7 * std::max(1.0, numeric)) << c.name << " r=" << r;
      EXPECT_NEAR(t.StateSlope(r) * t.RateSlope(x), 1.0, 1e-12) << c.name << " r=" << r;
    }
  }
}

// The one pair (0.01, 0.01) is g(r) = r: the shape kind is then the
// lognormal kind, x = ln r.
TEST(RateTransform, OnePairShapeIsLognormal) {
  const RateTransform shape(2, {{0.01, 0.01}});
  const RateTransform lognormal(1, {});
  for (double r : {0.001, 0.01, 0.04, 0.2}) {
    EXPECT_NEAR(shape.StateFromRate(r), lognormal.StateFromRate(r), 1e-15);
    EXPECT_NEAR(shape.RateFromState(std::log(r)), r, 1e-16);
  }
}

// A flat shape above 2 % is a normal model there: x moves one for one with
// r (slope 1 / 0.01), continuously through the knot.
TEST(RateTransform, FlatShapeSegmentIsLinear) {
  const RateTransform t(2, {{0.02, 0.01}, {0.04, 0.01}});
  const double atKnot = t.StateFromRate(0.02);
  EXPECT_NEAR(t.StateFromRate(0.03) - atKnot, 0.01 / 0.01, 1e-12);
  EXPECT_NEAR(t.StateFromRate(0.02 - 1e-12), atKnot, 1e-9);
  EXPECT_NEAR(t.RateSlope(t.StateFromRate(0.03)), 0.01, 1e-15);
}

// Outside the lognormal domain the state and its slope read 0; the shape
// takes a negative rate as 0.
TEST(RateTransform, RatesAtOrBelowZero) {
  const RateTransform lognormal(1, {});
  EXPECT_EQ(lognormal.StateFromRate(0.0), 0.0);
  EXPECT_EQ(lognormal.StateFromRate(-0.01), 0.0);
  EXPECT_EQ(lognormal.StateSlope(-0.01), 0.0);
  const RateTransform shape(2, {{0.02, 0.01}, {0.04, 0.01}});
  EXPECT_EQ(shape.StateFromRate(-0.01), shape.StateFromRate(0.0));
}

}  // namespace
}  // namespace lorvex
