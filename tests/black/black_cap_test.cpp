#include "black/black_cap.h"

#include <gtest/gtest.h>

#include <cmath>

#include "black/black_test_curves.h"
#include "market/calendar.h"
#include "market/cap_schedule.h"

namespace lorvex {
namespace {

using testing_curves::Curves;
using testing_curves::Df;

constexpr int kValuation = 2451545;  // 1 January 2000

// Quarterly cap at 5% on 100 from 1 April 2000 to 31 December 2002,
// volatility 20%, flat curve at 5%: 11 caplets ending on quarter ends.
TEST(BlackCap, WorkedCapAndFloor) {
  const ZeroCurve curve = testing_curves::Curve({2451545}, {0.05});
  CapSchedule cap(100.0, 0.05, kValuation + 91, kValuation + 1095, 4, 0.2);
  ASSERT_EQ(cap.Count(), 11);
  EXPECT_EQ(cap[0].start, DateToJdn(1, 4, 2000));
  EXPECT_EQ(cap[0].end, DateToJdn(30, 6, 2000));
  EXPECT_EQ(cap[10].end, DateToJdn(31, 12, 2002));
  EXPECT_NEAR(BlackCapFloor(kValuation, 0.2, OptionType::Call, curve, cap), 1.2055755, 5e-8);
  EXPECT_NEAR(BlackCapFloor(kValuation, 0.2, OptionType::Put, curve, cap), 1.1264071, 5e-8);
}

// Reference over the caplets resetting after the valuation date: the
// discounted forward differences (for parity) and Black on the exact normal.
struct CapReference {
  double parity = 0.0;
  double cap = 0.0;
  double floor = 0.0;
  double scale = 0.0;  // sum of P(end) N tau (F + K), to size the tolerance
};

CapReference Reference(const CapSchedule& cap, const ZeroCurve& curve, double vol) {
  CapReference ref;
  for (int i = 0; i < cap.Count(); ++i) {
    const CapletPeriod& c = cap[i];
    if (c.start <= kValuation) continue;
    const double weight = Df(curve, kValuation, c.end) * c.notional * c.accrualFraction;
    const double F = (Df(curve, kValuation, c.start) / Df(curve, kValuation, c.end) - 1.0) / c.accrualFraction;
    const double stdDev = vol * std::sqrt((c.start - kValuation) / 365.0);
    ref.parity += weight * (F - c.capRate);
    ref.cap += testing_curves::ExactBlack(F, c.capRate, stdDev, weight, false);
    ref.floor += testing_curves::ExactBlack(F, c.capRate, stdDev, weight, true);
    ref.scale += weight * (F + c.capRate);
  }
  return ref;
}

TEST(BlackCap, ParityAndExactNormalOnSeveralCurves) {
  for (const auto& [name, curve] : Curves()) {
    for (int f : {1, 2, 4, 12}) {
      for (double K : {0.02, 0.05, 0.09}) {
        // Starts in the past, today and ahead: past caplets must be left out.
        for (int startDays : {-200, 0, 45, 400}) {
          CapSchedule cap(1e4, K, kValuation + startDays, kValuation + 2557, f, 0.0);
          for (double vol : {0.05, 0.25, 0.8}) {
            SCOPED_TRACE(testing::Message() << name << ", f " << f << ", K " << K << ", start " << startDays
                                            << ", vol " << vol);
            const double capValue = BlackCapFloor(kValuation, vol, OptionType::Call, curve, cap);
            const double floorValue = BlackCapFloor(kValuation, vol, OptionType::Put, curve, cap);
            const CapReference ref = Reference(cap, curve, vol);
            EXPECT_NEAR(capValue - floorValue, ref.parity, 1e-9);
            EXPECT_NEAR(capValue, ref.cap, ref.scale * 1e-7);
            EXPECT_NEAR(floorValue, ref.floor, ref.scale * 1e-7);
          }
        }
      }
    }
  }
}

TEST(BlackCap, DegenerateTermsFollowTheirLimits) {
  const ZeroCurve curve = testing_curves::Curve({2451545, 2453000}, {0.04, 0.06});
  const int end = kValuation + 1826;
  CapSchedule cap(100.0, 0.05, kValuation + 91, end, 4, 0.0);
  double intrinsicCap = 0.0;
  double forwardSum = 0.0;
  double weightSum = 0.0;
  for (int i = 0; i < cap.Count(); ++i) {
    const double w = Df(curve, kValuation, cap[i].end) * 100.0 * cap[i].accrualFraction;
    const double F = cap.CapletForwardRate(i, kValuation, curve);
    intrinsicCap += w * std::max(F - 0.05, 0.0);
    forwardSum += w * F;
    weightSum += w;
  }
  CapSchedule zeroStrike(100.0, 0.0, kValuation + 91, end, 4, 0.0);
  CapSchedule negativeStrike(100.0, -0.02, kValuation + 91, end, 4, 0.0);
  CapSchedule empty(100.0, 0.05, end, kValuation + 91, 4, 0.0);
  // Every caplet resets on or before the valuation date: nothing is left.
  CapSchedule past(100.0, 0.05, kValuation - 900, kValuation + 40, 4, 0.0);
  struct Row {
    const char* what;
    double got, expected, tol;
  };
  const Row rows[] = {
      {"zero volatility cap is intrinsic", BlackCapFloor(kValuation, 0.0, OptionType::Call, curve, cap),
       intrinsicCap, 1e-9},
      {"negative volatility cap is intrinsic", BlackCapFloor(kValuation, -1.0, OptionType::Call, curve, cap),
       intrinsicCap, 1e-9},
      {"zero cap rate: cap is the forwards less 1e-6",
       BlackCapFloor(kValuation, 0.2, OptionType::Call, curve, zeroStrike), forwardSum - 1e-6 * weightSum,
       1e-10},
      {"zero cap rate: floor is nearly nothing",
       BlackCapFloor(kValuation, 0.2, OptionType::Put, curve, zeroStrike), 0.0, 1e-9},
      {"negative cap rate priced as 1e-6",
       BlackCapFloor(kValuation, 0.2, OptionType::Call, curve, negativeStrike),
       BlackCapFloor(kValuation, 0.2, OptionType::Call, curve, zeroStrike), 0.0},
      {"empty cap", BlackCapFloor(kValuation, 0.2, OptionType::Call, curve, empty), 0.0, 0.0},
      {"only past resets", BlackCapFloor(kValuation, 0.2, OptionType::Put, curve, past), 0.0, 0.0},
  };
  for (const Row& r : rows) EXPECT_NEAR(r.got, r.expected, r.tol) << r.what;
}

// A cap starting today skips its first caplet, which has already reset: its
// value is the same cap with the first caplet removed.
TEST(BlackCap, CapletResettingTodayIsLeftOut) {
  const ZeroCurve curve = testing_curves::Curve({2451545}, {0.05});
  CapSchedule fromToday(100.0, 0.05, kValuation, kValuation + 1096, 4, 0.0);
  CapSchedule fromSecond(100.0, 0.05, fromToday[1].start, kValuation + 1096, 4, 0.0);
  ASSERT_EQ(fromSecond.Count(), fromToday.Count() - 1);
  EXPECT_NEAR(BlackCapFloor(kValuation, 0.2, OptionType::Call, curve, fromToday),
              BlackCapFloor(kValuation, 0.2, OptionType::Call, curve, fromSecond), 1e-12);
}

}  // namespace
}  // namespace lorvex
