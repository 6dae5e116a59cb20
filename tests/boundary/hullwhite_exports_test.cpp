// The Hull-White closed-form exports, through portable arrays.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "hullwhite/zero_bond.h"
#include "lorvex/lorvex.h"
#include "market/calendar.h"
#include "market/zero_curve.h"
#include "test_arrays.h"

namespace {

constexpr int kSerial = 36526;  // 1 January 2000
constexpr int kT0 = 2451545;

// Zero rates r0 at the valuation date and r10 ten years on, linear between:
// the array the exports read and the same curve on Julian days.
class Curve {
 public:
  Curve(double r0, double r10) : array_({{kSerial, r0}, {kSerial + 3650, r10}}), curve_(lorvex_test::Line(r0, r10)) {}
  SAFEARRAY** get() { return array_.get(); }
  double Discount(double jdn) const { return lorvex_test::Df(curve_, kT0, jdn); }

 private:
  lorvex_test::CurveArray array_;
  lorvex::ZeroCurve curve_;
};

double Swaption(Curve& c, double expiry, double end, double rate, int perYear, double sigma, double a, int flag) {
  double v = 0;
  EXPECT_EQ(HW_HullWhiteSwapOption(kSerial, expiry, end, rate, 100, perYear, sigma, a, flag, c.get(), &v), 0);
  return v;
}

double BondOption(Curve& c, double years, double coupon, double expiry, double strike, double sigma, double a,
                  int callFlag, int cleanFlag) {
  double v = 0;
  EXPECT_EQ(HW_HullWhiteBondOption(kSerial, years, coupon, 100, 2, expiry, strike, sigma, a, callFlag, cleanFlag,
                                   c.get(), &v),
            0);
  return v;
}

// At the money (the fixed rate that makes the forward fixed leg worth par)
// against Black's formula on the forward swap rate S, with the lognormal
// volatility matching the model's normal one. Under the model the forward
// zero bonds move together, ln(P(t,Ti)/P(t,tex)) with volatility sigma B(tex,Ti)
// scaled by sqrt((1 - e^{-2aT})/(2aT)), so S has the normal volatility
//   sigma_N = sigma sqrt((1 - e^{-2aT})/(2aT)) sum_i CF_i P_i B(tex,Ti) / Annuity,
// and the matching Black volatility is sigma_N / S. Black's at-the-money price
// is the normal one times 1 - sigma_B^2 T/24 + O(sigma_B^4), so the two differ
// by about sigma_B^2 T/24 relative; the swap rate's curvature in the short rate
// adds at most 1e-4 relative at sigma = 0.01 (measured against the normal
// price: below 1.1e-4), and the library's normal distribution 2e-5 absolute.
TEST(HullWhiteSwapOptionExport, AtTheMoneyMatchesBlackWithMatchingVolatility) {
  const int expiry = kT0 + 364;    // 30 December 2000, a coupon date: no accrued
  const int maturity = kT0 + 2190;  // 30 December 2005
  const double T = 364 / 365.0;
  for (double r0 : {0.05, 0.03}) {
    Curve c(r0, 0.05 + (0.05 - r0));
    double sumP = 0.0;
    std::vector<int> dates;
    for (int k = 9; k >= 0; --k) dates.push_back(lorvex::AddMonths(maturity, -6 * k));
    for (int d : dates) sumP += c.Discount(d);
    const double rate = 2.0 * (c.Discount(expiry) - c.Discount(maturity)) / sumP;
    const double annuity = 50.0 * sumP;
    for (double a : {0.0, 0.1}) {
      for (double sigma : {0.002, 0.005, 0.01}) {
        double duration = 0.0;
        for (int d : dates) {
          const double flow = 50.0 * rate + (d == maturity ? 100.0 : 0.0);
          duration += flow * c.Discount(d) * lorvex::HullWhiteB(expiry, d, a);
        }
        const double spread = a == 0.0 ? 1.0 : (1.0 - std::exp(-2.0 * a * T)) / (2.0 * a * T);
        const double sigmaN = sigma * std::sqrt(spread) * duration / annuity;
        const double sigmaB = sigmaN / rate;
        const double x = sigmaB * std::sqrt(T) / 2.0;
        const double black = annuity * rate * std::erf(x / std::sqrt(2.0));  // A S (2 N(x) - 1)
        const double payer = Swaption(c, 364 / 365.0, 6, rate, 2, sigma, a, 0);
        const double receiver = Swaption(c, 364 / 365.0, 6, rate, 2, sigma, a, 1);
        const double tolerance = black * (sigmaB * sigmaB * T / 24.0 + 1e-4) + 2e-5;
        EXPECT_NEAR(payer, black, tolerance) << "r0 " << r0 << " a " << a << " sigma " << sigma;
        EXPECT_NEAR(payer, receiver, 1e-5) << "r0 " << r0 << " a " << a << " sigma " << sigma;
        EXPECT_GT(payer, black) << "the normal model is worth more at the money";
      }
    }
  }
}

// The swaption is the option on the fixed leg as a bond struck at par plus
// the coupon accrued at expiry: receiving fixed is the call. With expiries
// between coupon dates the accrued part matters.
TEST(HullWhiteSwapOptionExport, IsTheBondOptionOnTheFixedLegStruckAtPar) {
  Curve c(0.04, 0.06);
  for (double expiry : {0.3, 1.0, 2.7}) {
    for (int flag : {1, 0}) {
      EXPECT_EQ(Swaption(c, expiry, 7.0, 0.055, 2, 0.012, 0.07, flag),
                BondOption(c, 7.0, 0.055, expiry, 100.0, 0.012, 0.07, flag, 1))
          << expiry;
    }
  }
}

// A clean strike has the coupon accrued at expiry added: 5 years semi-annual
// from 1 January 2000 pays on 30 June and 30 December; an expiry of half a
// year is 2 July 2000, two days into a 183-day period paying 3.
TEST(HullWhiteBondOptionExport, CleanStrikeAddsAccruedInterest) {
  Curve c(0.04, 0.06);
  const double accrued = 3.0 * 2.0 / 183.0;
  for (int callFlag : {1, 0}) {
    EXPECT_EQ(BondOption(c, 5, 0.06, 0.5, 99.0, 0.01, 0.1, callFlag, 1),
              BondOption(c, 5, 0.06, 0.5, 99.0 + accrued, 0.01, 0.1, callFlag, 0));
    // Expiry on a coupon date (30 December 2000): nothing accrued.
    EXPECT_EQ(BondOption(c, 5, 0.06, 364 / 365.0, 99.0, 0.01, 0.1, callFlag, 1),
              BondOption(c, 5, 0.06, 364 / 365.0, 99.0, 0.01, 0.1, callFlag, 0));
  }
}

// Every refusal leaves 0 in the result.
TEST(HullWhiteExports, StatusCodes) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  Curve c(0.04, 0.06);
  SAFEARRAY* none = nullptr;
  struct Row {
    std::string name;
    int expected;
    int32_t serial = kSerial;
    double years = 5, coupon = 0.06, expiry = 1, strike = 100, sigma = 0.01, a = 0.1;
    int perYear = 2;
    bool noCurve = false;
  };
  std::vector<Row> rows = {
      {"no curve", -4, kSerial, 5, 0.06, 1, 100, 0.01, 0.1, 2, true},
      {"NaN maturity", -9, kSerial, nan},
      {"infinite coupon", -9, kSerial, 5, inf},
      {"NaN expiry", -9, kSerial, 5, 0.06, nan},
      {"NaN strike", -9, kSerial, 5, 0.06, 1, nan},
      {"infinite sigma", -9, kSerial, 5, 0.06, 1, 100, inf},
      {"NaN mean reversion", -9, kSerial, 5, 0.06, 1, 100, 0.01, nan},
      {"valuation before year 1", -9, -800000},
      {"expiry past year 9999", -9, kSerial, 5, 0.06, 9000},
      {"maturity past year 9999", -9, kSerial, 9000},
      {"strike beyond any critical rate", -9, kSerial, 5, 0.06, 1, 1e6},
      {"mean reversion overflowing the bond prices", -9, kSerial, 5, 0.06, 1, 100, 0.01, -500},
  };
  for (const Row& r : rows) {
    double v = 42;
    SAFEARRAY** curve = r.noCurve ? &none : c.get();
    EXPECT_EQ(HW_HullWhiteBondOption(r.serial, r.years, r.coupon, 100, r.perYear, r.expiry, r.strike, r.sigma, r.a,
                                     0, 0, curve, &v),
              r.expected)
        << "bond option: " << r.name;
    EXPECT_EQ(v, 0.0) << r.name;
    if (r.strike != 100) continue;  // the swaption has no strike argument
    v = 42;
    EXPECT_EQ(HW_HullWhiteSwapOption(r.serial, r.expiry, r.years, r.coupon, 100, r.perYear, r.sigma, r.a, 0, curve, &v),
              r.expected)
        << "swaption: " << r.name;
    EXPECT_EQ(v, 0.0) << r.name;
    v = 42;
    EXPECT_EQ(HW_HullWhiteCap(r.serial, r.expiry, r.years, r.coupon, 100, 4, r.sigma, r.a, 1, curve, &v),
              r.expected)
        << "cap: " << r.name;
    EXPECT_EQ(v, 0.0) << r.name;
  }
  double v = 42;
  EXPECT_EQ(HW_HullWhiteCap(kSerial, 1, 3, 0.05, 100, 3, 0.01, 0.1, 1, c.get(), &v), -3);
  EXPECT_EQ(v, 0.0);
  EXPECT_EQ(HW_HullWhiteBondOption(kSerial, 5, 0.06, 100, 2, 1, 100, 0.01, 0.1, 1, 0, c.get(), nullptr), -9);
  EXPECT_EQ(HW_HullWhiteSwapOption(kSerial, 1, 6, 0.05, 100, 2, 0.01, 0.1, 1, c.get(), nullptr), -9);
  EXPECT_EQ(HW_HullWhiteCap(kSerial, 1, 3, 0.05, 100, 4, 0.01, 0.1, 1, c.get(), nullptr), -9);
}

}  // namespace
