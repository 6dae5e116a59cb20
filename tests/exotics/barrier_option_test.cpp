#include "exotics/barrier_option.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "exotics/exotic_inputs.h"
#include "reference.h"

namespace lorvex {
namespace {

// In + out = plain European, for both directions and both kinds, whatever
// the order of spot, barrier and strike (also spot at the barrier and
// barrier at the strike). The decomposition is exact, so the sum matches to
// rounding, except where d1 or d2 is 0 to rounding (at the money forward):
// the two arrangements may then fall on either side of NormalCdf's 4.8e-8
// step at 0, hence 5e-8 (S + X). Each leg is a price, so between 0 and the
// plain option.
TEST(BarrierOption, InPlusOutIsThePlainOptionOverAGrid) {
  struct Pair {
    int in, out;
  };
  const Pair pairs[] = {{kUpAndIn, kUpAndOut}, {kDownAndIn, kDownAndOut}};
  int checked = 0;
  for (const auto& [s, x, h, t, q, sigma] : test::Grid({80, 95, 100, 105, 120}, {90, 100, 110},
                                                         {85, 95, 100, 105, 115}, {0.25, 1.0}, {0.0, 0.04},
                                                         {0.15, 0.4})) {
    for (bool isCall : {true, false})
      for (const Pair& p : pairs) {
        const double in = BarrierOption(s, x, 0.08, t, q, h, sigma, p.in, OptionTypeFromFlag(isCall));
        const double out = BarrierOption(s, x, 0.08, t, q, h, sigma, p.out, OptionTypeFromFlag(isCall));
        const double plain = test::Vanilla(s, x, 0.08, q, sigma, t, isCall);
        const auto where = [&] {
          return ::testing::Message() << "S " << s << " X " << x << " H " << h << " T " << t << " q " << q
                                      << " sigma " << sigma << " call " << isCall << " types " << p.in << "/"
                                      << p.out;
        };
        EXPECT_NEAR(in + out, plain, 5e-8 * (s + x)) << where();
        EXPECT_GE(out, -1e-9) << where();
        EXPECT_GE(in, -1e-9) << where();
        EXPECT_LE(out, plain + 1e-9) << where();
        ++checked;
      }
  }
  EXPECT_EQ(checked, 5 * 3 * 5 * 2 * 2 * 2 * 2 * 2);
}

// Out-options by the reflection principle, independently of the four-term
// decomposition: with log-price drift nu = r - q - sigma^2/2 and the barrier
// at h = ln(H/S), the density of ln(S_T/S) on paths that never touched h is
// phi((x - nu T)/s) - e^(2 nu h / sigma^2) phi((x - 2h - nu T)/s), over s,
// s = sigma sqrt(T), on the side of h the spot is on. The out value is the
// discounted payoff integrated against it, the in value the plain option
// less that. The pricer's value adds up to eight NormalCdf terms (error
// 8.3e-8 each) weighted by prices up to about 150, so 1e-4; a wrong entry of
// the decomposition table is off by 0.1 or more.
double ReflectedOutValue(double spot, double strike, double r, double q, double h, double sigma,
                         double t, bool isUp, bool isCall) {
  const double s = sigma * std::sqrt(t);
  const double nu = r - q - sigma * sigma / 2.0;
  const double level = std::log(h / spot);
  const double image = std::exp(2.0 * nu * level / (sigma * sigma));
  const auto phi = [](double z) { return std::exp(-0.5 * z * z) / std::sqrt(2.0 * 3.14159265358979323846); };
  const auto integrand = [&](double x) {
    const double st = spot * std::exp(x);
    const double payoff = isCall ? std::max(st - strike, 0.0) : std::max(strike - st, 0.0);
    return payoff * (phi((x - nu * t) / s) - image * phi((x - 2.0 * level - nu * t) / s)) / s;
  };
  const double lo = isUp ? nu * t - 12.0 * s : level;
  const double hi = isUp ? level : nu * t + 12.0 * s;
  if (lo >= hi) return 0.0;
  return std::exp(-r * t) * test::Integrate(integrand, lo, hi, 1e-11);
}

TEST(BarrierOption, AgreesWithTheReflectedDensity) {
  struct Row {
    double spot, strike, barrier;
  };
  // Barrier below or above the strike, spot on either side of the strike.
  const Row rows[] = {{100, 90, 95},  {100, 100, 90},  {100, 110, 80},  {90, 100, 85},
                      {100, 90, 110}, {100, 100, 120}, {100, 110, 105}, {110, 100, 130}};
  for (const Row& row : rows) {
    const bool isUp = row.barrier > row.spot;
    for (bool isCall : {true, false}) {
      for (double q : {0.0, 0.03}) {
        const double sigma = 0.3;
        const double t = 0.6;
        const double r = 0.07;
        const double out = ReflectedOutValue(row.spot, row.strike, r, q, row.barrier, sigma, t,
                                             isUp, isCall);
        const double in = test::Vanilla(row.spot, row.strike, r, q, sigma, t, isCall,
                                        test::ExactNormalCdf) -
                          out;
        const int outType = isUp ? kUpAndOut : kDownAndOut;
        const int inType = isUp ? kUpAndIn : kDownAndIn;
        EXPECT_NEAR(BarrierOption(row.spot, row.strike, r, t, q, row.barrier, sigma, outType,
                                  OptionTypeFromFlag(isCall)),
                    out, 1e-4)
            << "S " << row.spot << " X " << row.strike << " H " << row.barrier << " call " << isCall << " q "
            << q;
        EXPECT_NEAR(BarrierOption(row.spot, row.strike, r, t, q, row.barrier, sigma, inType,
                                  OptionTypeFromFlag(isCall)),
                    in, 1e-4)
            << "S " << row.spot << " X " << row.strike << " H " << row.barrier << " call " << isCall << " q "
            << q;
      }
    }
  }
}

// A spot at the barrier has touched it: in-options are the plain option,
// out-options are worthless.
TEST(BarrierOption, SpotAtTheBarrierHasTouchedIt) {
  for (double x : {90.0, 100.0, 110.0}) {
    for (bool isCall : {true, false}) {
      const double plain = test::Vanilla(100, x, 0.05, 0.02, 0.3, 0.75, isCall);
      for (int type : {kUpAndIn, kDownAndIn}) {
        EXPECT_NEAR(BarrierOption(100, x, 0.05, 0.75, 0.02, 100, 0.3, type, OptionTypeFromFlag(isCall)),
                    plain, 1e-12)
            << x << " " << isCall << " " << type;
      }
      for (int type : {kUpAndOut, kDownAndOut}) {
        EXPECT_EQ(BarrierOption(100, x, 0.05, 0.75, 0.02, 100, 0.3, type, OptionTypeFromFlag(isCall)), 0.0)
            << x << " " << isCall << " " << type;
      }
    }
  }
}

// Barriers that cannot be reached leave the plain option (out) or nothing
// (in).
TEST(BarrierOption, UnreachableBarriers) {
  for (bool isCall : {true, false}) {
    const double plain = test::Vanilla(100, 100, 0.05, 0.0, 0.2, 1.0, isCall);
    EXPECT_NEAR(BarrierOption(100, 100, 0.05, 1.0, 0.0, 1.0, 0.2, kDownAndOut, OptionTypeFromFlag(isCall)),
                plain, 1e-9);
    EXPECT_NEAR(BarrierOption(100, 100, 0.05, 1.0, 0.0, 1.0, 0.2, kDownAndIn, OptionTypeFromFlag(isCall)),
                0.0, 1e-9);
    EXPECT_NEAR(BarrierOption(100, 100, 0.05, 1.0, 0.0, 1e4, 0.2, kUpAndOut, OptionTypeFromFlag(isCall)),
                plain, 1e-9);
    EXPECT_NEAR(BarrierOption(100, 100, 0.05, 1.0, 0.0, 1e4, 0.2, kUpAndIn, OptionTypeFromFlag(isCall)), 0.0,
                1e-9);
  }
}

// At T = 0 the discount factors are those of the time given (1), while the
// diffusion uses 0.00001 years: a live down-and-out call is its intrinsic
// value undiscounted, 10, not 9.99967.
TEST(BarrierOption, ZeroTimeDiscountsWithTheTimeGiven) {
  EXPECT_NEAR(BarrierOption(100, 90, 0.08, 0.0, 0.04, 95, 0.25, kDownAndOut, OptionType::Call), 10.0, 1e-9);
  EXPECT_NEAR(BarrierOption(100, 110, 0.08, 0.0, 0.04, 120, 0.25, kUpAndOut, OptionType::Put), 10.0, 1e-9);
  EXPECT_NEAR(BarrierOption(100, 90, 0.08, -1.0, 0.04, 95, 0.25, kDownAndOut, OptionType::Call),
              100 * std::exp(0.04) - 90 * std::exp(0.08), 1e-9);
}

// A tiny volatility against the carry makes lambda about 800; the powers of
// H/S are capped at exponents 1000 and 998 so a far barrier stays finite.
TEST(BarrierOption, LargeLambdaIsCapped) {
  const double sigma = 0.01;  // lambda = (0.08 - 0.00005) / 0.0001 + 1 = 800.5
  for (double h : {95.0, 180.0}) {
    for (bool isCall : {true, false}) {
      const int in = h < 100 ? kDownAndIn : kUpAndIn;
      const int out = h < 100 ? kDownAndOut : kUpAndOut;
      const double a = BarrierOption(100, 100, 0.08, 1.0, 0.0, h, sigma, in, OptionTypeFromFlag(isCall));
      const double b = BarrierOption(100, 100, 0.08, 1.0, 0.0, h, sigma, out, OptionTypeFromFlag(isCall));
      ASSERT_TRUE(std::isfinite(a) && std::isfinite(b)) << h << " " << isCall;
      EXPECT_NEAR(a + b, test::Vanilla(100, 100, 0.08, 0.0, sigma, 1.0, isCall), 1e-9);
    }
  }
  // Uncapped, (180/100)^1601 would overflow.
  EXPECT_FALSE(std::isfinite(std::pow(1.8, 1601.0)));
}

}  // namespace
}  // namespace lorvex
