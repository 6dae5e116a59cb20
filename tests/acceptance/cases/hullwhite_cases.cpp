// HW_HullWhiteBondOption, HW_HullWhiteSwapOption and HW_HullWhiteCap through
// real arrays: prices checked against an independent library, the parities
// every model obeys, the flags, the statuses and refused arguments.
#include <cmath>
#include <limits>

#include "acceptance.h"
#include "curve_cases.h"

namespace acceptance {
namespace {

const double kNan = std::numeric_limits<double>::quiet_NaN();

// A 5-year 6% semi-annual bond and a 1-year option struck at 100 (dirty).
struct BondOptionTerms {
  std::int32_t serial = 36526;
  double bondYears = 5.0, coupon = 0.06, face = 100.0;
  std::int32_t frequency = 2;
  double optionYears = 1.0, strike = 100.0, sigma = 0.01, a = 0.1;
  std::int32_t callFlag = 1, cleanFlag = 0;
};

// Option expiring on 30 December 2000 (364 days, a coupon date of the fixed
// leg) on the swap to 30 December 2005, semi-annual, notional 100.
struct SwaptionTerms {
  std::int32_t serial = 36526;
  double expiryYears = 364.0 / 365.0, endYears = 6.0, fixedRate = 0.05, notional = 100.0;
  std::int32_t frequency = 2;
  double sigma = 0.01, a = 0.1;
  std::int32_t receiverFlag = 0;
};

// Quarterly cap from 91 days (1 April 2000) to 3 years at 5%.
struct CapTerms {
  std::int32_t serial = 36526;
  double startYears = 0.25, endYears = 3.0, capRate = 0.05, notional = 100.0;
  std::int32_t frequency = 4;
  double sigma = 0.01, a = 0.1;
  std::int32_t capFlag = 1;
};

// Zero rates 4% today rising linearly to 6% in ten years.
std::vector<std::vector<double>> Sloped() { return {{36526, 0.04}, {36526 + 3650, 0.06}}; }

// Each export on its terms.
CurveCall BondOption(const BondOptionTerms& t) {
  return [t](const Api& api, SAFEARRAY** curve, double* v) {
    return api.HW_HullWhiteBondOption(t.serial, t.bondYears, t.coupon, t.face, t.frequency, t.optionYears, t.strike,
                                      t.sigma, t.a, t.callFlag, t.cleanFlag, curve, v);
  };
}
CurveCall Swaption(const SwaptionTerms& t) {
  return [t](const Api& api, SAFEARRAY** curve, double* v) {
    return api.HW_HullWhiteSwapOption(t.serial, t.expiryYears, t.endYears, t.fixedRate, t.notional, t.frequency,
                                      t.sigma, t.a, t.receiverFlag, curve, v);
  };
}
CurveCall Cap(const CapTerms& t) {
  return [t](const Api& api, SAFEARRAY** curve, double* v) {
    return api.HW_HullWhiteCap(t.serial, t.startYears, t.endYears, t.capRate, t.notional, t.frequency, t.sigma, t.a,
                               t.capFlag, curve, v);
  };
}

void AddHullWhiteCases(std::vector<Case>& cases) {
  // QuantLib 1.29 with the exact normal distribution (JamshidianSwaptionEngine,
  // AnalyticCapFloorEngine), sigma 0.01; the library's normal distribution
  // (error below 8.3e-8) over flows of about 125 allows 2e-5.
  struct Reference {
    const char* curve;
    double a, payer, receiver, cap, floor;
  };
  const Reference refs[] = {
      {"flat 5%", 0.1, 1.4259901058, 1.1535531535, 1.1135738868, 1.0344054123},
      {"flat 5%", 0.0, 1.8377958375, 1.5653589928, 1.2198578577, 1.1406893832},
      {"4% to 6%", 0.1, 2.3776821724, 0.5797270177, 0.7985568063, 1.6513778524},
      {"4% to 6%", 0.0, 2.7439316911, 0.9459770594, 0.9011366690, 1.7539577152},
  };
  for (const Reference& r : refs) {
    const auto rows = std::string(r.curve) == "flat 5%" ? FlatCurve(36526, 0.05) : Sloped();
    const std::string tag = std::string(", ") + r.curve + ", a " + (r.a == 0.0 ? "0" : "0.1");
    cases.push_back(OnCurve("hull-white payer swaption" + tag, Swaption({.a = r.a}), 0, {r.payer}, 2e-5, rows));
    cases.push_back(OnCurve("hull-white receiver swaption" + tag, Swaption({.a = r.a, .receiverFlag = 1}), 0,
                            {r.receiver}, 2e-5, rows));
    cases.push_back(OnCurve("hull-white cap" + tag, Cap({.a = r.a}), 0, {r.cap}, 2e-5, rows));
    cases.push_back(OnCurve("hull-white floor" + tag, Cap({.a = r.a, .capFlag = 0}), 0, {r.floor}, 2e-5, rows));
  }

  // call - put = value of the flows after expiry - strike x discount to expiry:
  // coupons of 3 on the eight dates from 30 June 2001 to 30 December 2004
  // (days below from 1 January 2000), 100 on the last, less 100 e^{-0.05}.
  // Holds to the critical-rate search tolerance.
  cases.push_back({"hull-white bond option parity",
                   [](const Api& api, std::vector<double>& values) {
                     Array curve(FlatCurve(36526, 0.05));
                     double call = -1.0, put = -1.0;
                     const std::int32_t s1 = BondOption({})(api, curve.get(), &call);
                     const std::int32_t s2 = BondOption({.callFlag = 0})(api, curve.get(), &put);
                     const int days[] = {546, 729, 911, 1094, 1276, 1459, 1642, 1825};
                     double forward = 0.0;
                     for (int d : days) forward += 3.0 * std::exp(-0.05 * d / 365.0);
                     forward += 100.0 * std::exp(-0.05 * 1825 / 365.0) - 100.0 * std::exp(-0.05);
                     values.push_back(call - put - forward);
                     return s1 != 0 ? s1 : s2;
                   },
                   0, {0.0}, 1e-5});
  // Flags other than 1 select the put, the right to pay fixed, the floor.
  for (int flag : {0, 2, -1}) {
    const std::string f = std::to_string(flag);
    cases.push_back(Compared("hull-white bond option flag " + f + " is the put", BondOption({.callFlag = flag}),
                             BondOption({.callFlag = 0}), {0.0}, 0.0));
    cases.push_back(OnCurve("hull-white swaption flag " + f + " pays fixed", Swaption({.receiverFlag = flag}), 0,
                            {1.4259901058}, 2e-5));
    cases.push_back(
        OnCurve("hull-white cap flag " + f + " is the floor", Cap({.capFlag = flag}), 0, {1.0344054123}, 2e-5));
  }

  // Options on nothing are 0 with status 0; a strike of 0 makes the call the
  // flows after expiry bought today; the result is 0 on every failure.
  AddRows(cases, {
      {"hull-white bond option expiring today is 0", BondOption({.optionYears = 0.0}), 0, 0.0, 0.0},
      {"hull-white bond option expiring after maturity is 0", BondOption({.optionYears = 6.0}), 0, 0.0, 0.0},
      {"hull-white swaption with 3 payments a year is 0", Swaption({.frequency = 3}), 0, 0.0, 0.0},
      {"hull-white call struck at 0 is the forward claim",
       BondOption({.bondYears = 1.0, .coupon = 0.0, .optionYears = 0.5, .strike = 0.0}), 0, 100.0 * std::exp(-0.05),
       1e-12},
      {"hull-white cap with 3 payments a year: -3", Cap({.frequency = 3}), -3, 0.0, 0.0},
      {"hull-white bond option with NaN sigma: -9", BondOption({.sigma = kNan}), -9, 0.0, 0.0},
      {"hull-white bond option with no critical rate in reach: -9", BondOption({.strike = 1e6}), -9, 0.0, 0.0},
      {"hull-white swaption with NaN mean reversion: -9", Swaption({.a = kNan}), -9, 0.0, 0.0},
      {"hull-white cap ending after year 9999: -9", Cap({.endYears = 9000.0}), -9, 0.0, 0.0},
  });
  cases.push_back(HandedCase("hull-white bond option without a curve: -4", BondOption({}), Handed::kNoArray, -4));
  cases.push_back(HandedCase("hull-white swaption with a null result pointer: -9",
                             Swaption({.expiryYears = 1.0, .receiverFlag = 1}), Handed::kNullResult, -9));
}

const bool registered = RegisterCases(AddHullWhiteCases);

}  // namespace
}  // namespace acceptance
