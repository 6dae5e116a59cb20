// HW_HullWhiteBondOption, HW_HullWhiteSwapOption and HW_HullWhiteCap through
// real arrays: prices checked against an independent library, the parities
// every model obeys, the flags, the statuses and refused arguments.
#include <cmath>
#include <limits>

#include "acceptance.h"

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

std::int32_t Price(const Api& api, const BondOptionTerms& t, SAFEARRAY** curve, std::vector<double>& values) {
  double v = -1.0;
  const std::int32_t s = api.HW_HullWhiteBondOption(t.serial, t.bondYears, t.coupon, t.face, t.frequency,
                                                    t.optionYears, t.strike, t.sigma, t.a, t.callFlag,
                                                    t.cleanFlag, curve, &v);
  values.push_back(v);
  return s;
}

std::int32_t Price(const Api& api, const SwaptionTerms& t, SAFEARRAY** curve, std::vector<double>& values) {
  double v = -1.0;
  const std::int32_t s = api.HW_HullWhiteSwapOption(t.serial, t.expiryYears, t.endYears, t.fixedRate, t.notional,
                                                    t.frequency, t.sigma, t.a, t.receiverFlag, curve, &v);
  values.push_back(v);
  return s;
}

std::int32_t Price(const Api& api, const CapTerms& t, SAFEARRAY** curve, std::vector<double>& values) {
  double v = -1.0;
  const std::int32_t s = api.HW_HullWhiteCap(t.serial, t.startYears, t.endYears, t.capRate, t.notional,
                                             t.frequency, t.sigma, t.a, t.capFlag, curve, &v);
  values.push_back(v);
  return s;
}

template <class Terms>
Case Priced(std::string name, Terms t, std::int32_t status, std::vector<double> expected, double tol,
            std::vector<std::vector<double>> rows = FlatCurve(36526, 0.05)) {
  return PricedCase(std::move(name), t, status, std::move(expected), tol, std::move(rows));
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
    SwaptionTerms s;
    s.a = r.a;
    cases.push_back(Priced("hull-white payer swaption" + tag, s, 0, {r.payer}, 2e-5, rows));
    s.receiverFlag = 1;
    cases.push_back(Priced("hull-white receiver swaption" + tag, s, 0, {r.receiver}, 2e-5, rows));
    CapTerms c;
    c.a = r.a;
    cases.push_back(Priced("hull-white cap" + tag, c, 0, {r.cap}, 2e-5, rows));
    c.capFlag = 0;
    cases.push_back(Priced("hull-white floor" + tag, c, 0, {r.floor}, 2e-5, rows));
  }

  // call - put = value of the flows after expiry - strike x discount to expiry:
  // coupons of 3 on the eight dates from 30 June 2001 to 30 December 2004
  // (days below from 1 January 2000), 100 on the last, less 100 e^{-0.05}.
  // Holds to the critical-rate search tolerance.
  cases.push_back({"hull-white bond option parity",
                   [](const Api& api, std::vector<double>& values) {
                     Array curve(FlatCurve(36526, 0.05));
                     BondOptionTerms t;
                     std::vector<double> v;
                     const std::int32_t s1 = Price(api, t, curve.get(), v);
                     t.callFlag = 0;
                     const std::int32_t s2 = Price(api, t, curve.get(), v);
                     const int days[] = {546, 729, 911, 1094, 1276, 1459, 1642, 1825};
                     double forward = 0.0;
                     for (int d : days) forward += 3.0 * std::exp(-0.05 * d / 365.0);
                     forward += 100.0 * std::exp(-0.05 * 1825 / 365.0) - 100.0 * std::exp(-0.05);
                     values.push_back(v[0] - v[1] - forward);
                     return s1 != 0 ? s1 : s2;
                   },
                   0, {0.0}, 1e-5});
  // Flags other than 1 select the put, the right to pay fixed, the floor.
  for (int flag : {0, 2, -1}) {
    BondOptionTerms b;
    b.callFlag = flag;
    cases.push_back({"hull-white bond option flag " + std::to_string(flag) + " is the put",
                     [b](const Api& api, std::vector<double>& values) {
                       Array curve(FlatCurve(36526, 0.05));
                       BondOptionTerms put = b;
                       put.callFlag = 0;
                       std::vector<double> v;
                       const std::int32_t s = Price(api, b, curve.get(), v);
                       Price(api, put, curve.get(), v);
                       values.push_back(v[0] - v[1]);
                       return s;
                     },
                     0, {0.0}, 0.0});
    SwaptionTerms s;
    s.receiverFlag = flag;
    cases.push_back(Priced("hull-white swaption flag " + std::to_string(flag) + " pays fixed", s, 0,
                           {1.4259901058}, 2e-5));
    CapTerms c;
    c.capFlag = flag;
    cases.push_back(
        Priced("hull-white cap flag " + std::to_string(flag) + " is the floor", c, 0, {1.0344054123}, 2e-5));
  }

  // Options on nothing: 0 with status 0.
  BondOptionTerms today;
  today.optionYears = 0.0;
  cases.push_back(Priced("hull-white bond option expiring today is 0", today, 0, {0.0}, 0.0));
  BondOptionTerms late;
  late.optionYears = 6.0;
  cases.push_back(Priced("hull-white bond option expiring after maturity is 0", late, 0, {0.0}, 0.0));
  SwaptionTerms thirds;
  thirds.frequency = 3;
  cases.push_back(Priced("hull-white swaption with 3 payments a year is 0", thirds, 0, {0.0}, 0.0));

  // A strike of 0: the call is the flows after expiry bought today, the put 0.
  BondOptionTerms free;
  free.strike = 0.0;
  free.bondYears = 1.0;
  free.optionYears = 0.5;
  free.coupon = 0.0;
  cases.push_back(
      Priced("hull-white call struck at 0 is the forward claim", free, 0, {100.0 * std::exp(-0.05)}, 1e-12));

  // Statuses; the result is 0 on every failure.
  CapTerms thirdsCap;
  thirdsCap.frequency = 3;
  cases.push_back(Priced("hull-white cap with 3 payments a year: -3", thirdsCap, -3, {0.0}, 0.0));
  cases.push_back({"hull-white bond option without a curve: -4",
                   [](const Api& api, std::vector<double>& v) {
                     SAFEARRAY* none = nullptr;
                     return Price(api, BondOptionTerms{}, &none, v);
                   },
                   -4, {0.0}, 0.0});
  BondOptionTerms nanSigma;
  nanSigma.sigma = kNan;
  cases.push_back(Priced("hull-white bond option with NaN sigma: -9", nanSigma, -9, {0.0}, 0.0));
  BondOptionTerms huge;
  huge.strike = 1e6;
  cases.push_back(Priced("hull-white bond option with no critical rate in reach: -9", huge, -9, {0.0}, 0.0));
  SwaptionTerms nanA;
  nanA.a = kNan;
  cases.push_back(Priced("hull-white swaption with NaN mean reversion: -9", nanA, -9, {0.0}, 0.0));
  CapTerms farEnd;
  farEnd.endYears = 9000.0;
  cases.push_back(Priced("hull-white cap ending after year 9999: -9", farEnd, -9, {0.0}, 0.0));
  cases.push_back({"hull-white swaption with a null result pointer: -9",
                   [](const Api& api, std::vector<double>&) {
                     Array curve(FlatCurve(36526, 0.05));
                     return api.HW_HullWhiteSwapOption(36526, 1, 6, 0.05, 100, 2, 0.01, 0.1, 1, curve.get(), nullptr);
                   },
                   -9, {}, 0.0});
}

const bool registered = RegisterCases(AddHullWhiteCases);

}  // namespace
}  // namespace acceptance
