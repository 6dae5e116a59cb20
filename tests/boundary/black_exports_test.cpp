// The Black exports under hostile arguments: every value a caller can pass
// gives a defined status and a finite result (0 on failure), never a crash.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

#include "lorvex/lorvex.h"
#include "test_arrays.h"

namespace {

using Curve = lorvex_test::CurveArray;

const double kDoubles[] = {0.0,    -1.0,   0.25,   1.0,     5.0,   30.0,   -0.05,
                           1e6,    -1e6,   1e300,  -1e300,  5e-324, std::numeric_limits<double>::quiet_NaN(),
                           std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()};
const std::int32_t kInts[] = {INT32_MIN, -1, 0, 1, 2, 3, 4, 12, 36526, 2958465, INT32_MAX};

// Draws each argument from the value lists, starting from a sensible trade
// and replacing a few arguments at random per call.
class Draw {
 public:
  explicit Draw(unsigned seed) : rng_(seed) {}
  double D(double sensible) { return Pick() ? kDoubles[Index(std::size(kDoubles))] : sensible; }
  std::int32_t I(std::int32_t sensible) { return Pick() ? kInts[Index(std::size(kInts))] : sensible; }

 private:
  bool Pick() { return std::uniform_int_distribution<int>(0, 3)(rng_) == 0; }
  std::size_t Index(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng_); }
  std::mt19937 rng_;
};

void ExpectSane(std::int32_t status, double result, std::initializer_list<std::int32_t> allowed, int call) {
  bool known = false;
  for (std::int32_t s : allowed) known = known || s == status;
  EXPECT_TRUE(known) << "call " << call << " status " << status;
  EXPECT_TRUE(std::isfinite(result)) << "call " << call;
  if (status != 0) {
    EXPECT_EQ(result, 0.0) << "call " << call;
  }
}

TEST(BlackExports, AnyArgumentsGiveAStatusAndAFiniteResult) {
  Draw draw(20240607u);
  int priced = 0;
  for (int call = 0; call < 3000; ++call) {
    Curve curve({{36526.0, draw.D(0.05)}, {draw.D(40000.0), draw.D(0.06)}});
    double result = -1.0;
    std::int32_t status = 0;
    switch (call % 3) {
      case 0:
        status = HW_BlackBondOption(draw.I(36526), draw.D(5.0), draw.D(0.06), draw.D(100.0), draw.I(2),
                                    draw.D(1.0), draw.D(100.0), draw.D(0.1), draw.I(1), draw.I(1), curve.get(),
                                    &result);
        ExpectSane(status, result, {0, -9}, call);
        break;
      case 1:
        status = HW_BlackSwapOption(draw.I(36526), draw.D(1.0), draw.D(6.0), draw.D(0.05), draw.D(100.0),
                                    draw.I(2), draw.D(0.2), draw.I(0), curve.get(), &result);
        ExpectSane(status, result, {0, -2, -9}, call);
        break;
      default:
        status = HW_BlackCap(draw.I(36526), draw.D(0.25), draw.D(3.0), draw.D(0.05), draw.D(100.0), draw.I(4),
                             draw.D(0.2), draw.I(1), curve.get(), &result);
        ExpectSane(status, result, {0, -3, -9}, call);
        break;
    }
    if (status == 0 && result != 0.0) ++priced;
  }
  // Enough calls get through the checks to exercise the pricers themselves.
  EXPECT_GT(priced, 300);
}

}  // namespace
