#include "black/black_swaption.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "black/black_test_curves.h"
#include "market/calendar.h"
#include "market/swap_schedule.h"

namespace lorvex {
namespace {

using testing_curves::Curves;

constexpr int kValuation = 2451545;  // 1 January 2000

// Swaption on a swap from 31 December 2000 to 30 December 2005, semi-annual,
// 5% fixed on 100, volatility 20%, flat curve at 5%: ten periods, the first
// to 30 June 2001; annuity 415.5845944, forward rate 0.0506301741.
TEST(BlackSwaption, WorkedSwaption) {
  const ZeroCurve curve = testing_curves::Curve({2451545}, {0.05});
  const int expiry = kValuation + 365;
  const int end = kValuation + 2190;
  EXPECT_EQ(expiry, DateToJdn(31, 12, 2000));
  EXPECT_EQ(end, DateToJdn(30, 12, 2005));
  SwapSchedule swap(100.0, 0.05, 0.0, expiry, end, 2, 2);
  ASSERT_EQ(swap.FixedCount(), 10);
  EXPECT_EQ(swap.FixedPeriods()[0].end, DateToJdn(30, 6, 2001));
  EXPECT_NEAR(swap.Annuity(0, kValuation, expiry, curve), 415.5845944, 5e-8);
  EXPECT_NEAR(swap.ForwardRate(0, kValuation, expiry, curve), 0.0506301741, 5e-11);
  EXPECT_NEAR(BlackSwaption(kValuation, expiry, 0.2, OptionType::Call, curve, swap), 1.7998140, 5e-8);
  EXPECT_NEAR(BlackSwaption(kValuation, expiry, 0.2, OptionType::Put, curve, swap), 1.5379233, 5e-8);
}

// Payer - receiver = Ann (S - K) on every curve, strike, frequency and
// volatility; each also agrees with Black on the exact normal.
TEST(BlackSwaption, ParityAndExactNormalOnSeveralCurves) {
  for (const auto& [name, curve] : Curves()) {
    for (int f : {1, 2, 4, 12}) {
      for (double K : {0.02, 0.05, 0.09}) {
        const int expiry = kValuation + 730;
        const int end = kValuation + 3652;
        SwapSchedule swap(1e4, K, 0.0, expiry, end, f, f);
        const double ann = swap.Annuity(0, kValuation, expiry, curve);
        const double S = swap.ForwardRate(0, kValuation, expiry, curve);
        for (double vol : {0.05, 0.25, 0.8}) {
          SCOPED_TRACE(testing::Message() << name << ", f " << f << ", K " << K << ", vol " << vol);
          const double payer = BlackSwaption(kValuation, expiry, vol, OptionType::Call, curve, swap);
          const double receiver = BlackSwaption(kValuation, expiry, vol, OptionType::Put, curve, swap);
          EXPECT_NEAR(payer - receiver, ann * (S - K), 1e-9);
          const double stdDev = vol * std::sqrt(730 / 365.0);
          const double tol = ann * (S + K) * 1e-7;
          EXPECT_NEAR(payer, testing_curves::ExactBlack(S, K, stdDev, ann, false), tol);
          EXPECT_NEAR(receiver, testing_curves::ExactBlack(S, K, stdDev, ann, true), tol);
        }
      }
    }
  }
}

TEST(BlackSwaption, DegenerateTermsFollowTheirLimits) {
  const ZeroCurve curve = testing_curves::Curve({2451545, 2454000}, {0.03, 0.06});
  const int expiry = kValuation + 365;
  const int end = kValuation + 2191;
  auto value = [&](double K, double vol, bool payer, int exp = kValuation + 365, int swapEnd = kValuation + 2191) {
    SwapSchedule swap(100.0, K, 0.0, exp, swapEnd, 2, 2);
    return BlackSwaption(kValuation, exp, vol, OptionTypeFromFlag(payer), curve, swap);
  };
  SwapSchedule reference(100.0, 0.05, 0.0, expiry, end, 2, 2);
  const double ann = reference.Annuity(0, kValuation, expiry, curve);
  const double S = reference.ForwardRate(0, kValuation, expiry, curve);
  struct Row {
    const char* what;
    double got, expected, tol;
  };
  const Row rows[] = {
      {"zero volatility payer is intrinsic", value(0.03, 0.0, true), ann * (S - 0.03), 1e-9},
      {"zero volatility receiver out of the money", value(0.03, 0.0, false), 0.0, 1e-9},
      {"negative volatility receiver is intrinsic", value(0.08, -0.2, false), ann * (0.08 - S), 1e-9},
      {"negative fixed rate: payer is S Ann", value(-0.01, 0.2, true), S * ann, 1e-12},
      {"negative fixed rate: receiver is nothing", value(-0.01, 0.2, false), 0.0, 0.0},
      {"zero fixed rate: no annuity, nothing", value(0.0, 0.2, true), 0.0, 0.0},
      {"expiry today", value(0.05, 0.2, true, kValuation), 0.0, 0.0},
      {"swap ending at expiry", value(0.05, 0.2, true, expiry, expiry), 0.0, 0.0},
      {"swap shorter than half a period", value(0.05, 0.2, false, expiry, expiry + 60), 0.0, 0.0},
  };
  for (const Row& r : rows) EXPECT_NEAR(r.got, r.expected, r.tol) << r.what;
}

// On a curve with negative rates the forward swap rate is negative; the
// lognormal model prices it as 1e-6, so the payer is nearly worthless and
// the receiver is about Ann (K - 1e-6).
TEST(BlackSwaption, NegativeForwardRateIsPricedAsTiny) {
  const ZeroCurve curve = testing_curves::Curve({2451545}, {-0.01});
  const int expiry = kValuation + 365;
  SwapSchedule swap(100.0, 0.02, 0.0, expiry, kValuation + 1826, 1, 1);
  ASSERT_LT(swap.ForwardRate(0, kValuation, expiry, curve), 0.0);
  const double ann = swap.Annuity(0, kValuation, expiry, curve);
  EXPECT_NEAR(BlackSwaption(kValuation, expiry, 0.3, OptionType::Call, curve, swap), 0.0, 1e-12);
  EXPECT_NEAR(BlackSwaption(kValuation, expiry, 0.3, OptionType::Put, curve, swap), ann * (0.02 - 1e-6),
              1e-9);
}

}  // namespace
}  // namespace lorvex
