// HW_BlackBondOption, HW_BlackSwapOption and HW_BlackCap through real
// arrays: the worked prices, the flags, the schedule statuses and refused
// arguments.
#include <cmath>
#include <limits>

#include "acceptance.h"

namespace acceptance {
namespace {

const double kNan = std::numeric_limits<double>::quiet_NaN();
const double kInf = std::numeric_limits<double>::infinity();

// 1 January 2000; a 5-year 6% semi-annual bond; a 1-year option struck at 100.
struct BondOptionTerms {
  std::int32_t serial = 36526;
  double bondYears = 5.0, coupon = 0.06, face = 100.0;
  std::int32_t frequency = 2;
  double optionYears = 1.0, strike = 100.0, yieldVol = 0.1;
  std::int32_t callFlag = 1, cleanFlag = 1;
};

// Option on a 6-year swap expiring in 1 year, fixed rate 5%, semi-annual.
struct SwaptionTerms {
  std::int32_t serial = 36526;
  double expiryYears = 1.0, endYears = 6.0, fixedRate = 0.05, notional = 100.0;
  std::int32_t frequency = 2;
  double vol = 0.2;
  std::int32_t receiverFlag = 0;
};

// Quarterly cap from 3 months to 3 years at 5%.
struct CapTerms {
  std::int32_t serial = 36526;
  double startYears = 0.25, endYears = 3.0, capRate = 0.05, notional = 100.0;
  std::int32_t frequency = 4;
  double vol = 0.2;
  std::int32_t capFlag = 1;
};

std::int32_t Price(const Api& api, const BondOptionTerms& t, SAFEARRAY** curve, std::vector<double>& values) {
  double v = -1.0;
  const std::int32_t s =
      api.HW_BlackBondOption(t.serial, t.bondYears, t.coupon, t.face, t.frequency, t.optionYears, t.strike,
                             t.yieldVol, t.callFlag, t.cleanFlag, curve, &v);
  values.push_back(v);
  return s;
}

std::int32_t Price(const Api& api, const SwaptionTerms& t, SAFEARRAY** curve, std::vector<double>& values) {
  double v = -1.0;
  const std::int32_t s = api.HW_BlackSwapOption(t.serial, t.expiryYears, t.endYears, t.fixedRate, t.notional,
                                                t.frequency, t.vol, t.receiverFlag, curve, &v);
  values.push_back(v);
  return s;
}

std::int32_t Price(const Api& api, const CapTerms& t, SAFEARRAY** curve, std::vector<double>& values) {
  double v = -1.0;
  const std::int32_t s = api.HW_BlackCap(t.serial, t.startYears, t.endYears, t.capRate, t.notional,
                                         t.frequency, t.vol, t.capFlag, curve, &v);
  values.push_back(v);
  return s;
}

template <class Terms>
Case Priced(std::string name, Terms t, std::int32_t status, std::vector<double> expected, double tol = 5e-8,
            std::vector<std::vector<double>> rows = FlatCurve(36526, 0.05)) {
  return PricedCase(std::move(name), t, status, std::move(expected), tol, std::move(rows));
}

template <class Terms, class Edit>
Terms With(Edit edit) {
  Terms t;
  edit(t);
  return t;
}

void AddBondOptionCases(std::vector<Case>& cases) {
  using T = BondOptionTerms;
  // Worked values, to seven decimals: strike 100 clean (dirty 100.0164835)
  // and strike 100 dirty.
  cases.push_back(Priced("black bond option call, clean strike", T{}, 0, {3.2006593}));
  cases.push_back(
      Priced("black bond option put, clean strike", With<T>([](T& t) { t.callFlag = 0; }), 0, {0.0224717}));
  cases.push_back(
      Priced("black bond option call, dirty strike", With<T>([](T& t) { t.cleanFlag = 0; }), 0, {3.2158151}));
  cases.push_back(Priced("black bond option put, dirty strike",
                         With<T>([](T& t) { t.callFlag = 0, t.cleanFlag = 0; }), 0, {0.0219478}));
  for (std::int32_t flag : {2, -1}) {
    cases.push_back(Priced("black bond option call flag " + std::to_string(flag) + " is a put",
                           With<T>([=](T& t) { t.callFlag = flag; }), 0, {0.0224717}));
    cases.push_back(Priced("black bond option clean flag " + std::to_string(flag) + " is dirty",
                           With<T>([=](T& t) { t.cleanFlag = flag; }), 0, {3.2158151}));
  }
  // Expiry on the coupon date 30 June 2000: nothing has accrued, so a clean
  // and a dirty strike are the same.
  cases.push_back({"black bond option expiring on a coupon date: clean = dirty",
                   [](const Api& api, std::vector<double>& v) {
                     Array a(FlatCurve(36526, 0.05));
                     double clean = -1, dirty = -2;
                     const double years = 181.0 / 365.0;
                     const std::int32_t s1 =
                         api.HW_BlackBondOption(36526, 5, 0.06, 100, 2, years, 100, 0.1, 1, 1, a.get(), &clean);
                     const std::int32_t s2 =
                         api.HW_BlackBondOption(36526, 5, 0.06, 100, 2, years, 100, 0.1, 1, 0, a.get(), &dirty);
                     v.push_back(clean - dirty);
                     v.push_back(clean > 0.5 ? 1.0 : 0.0);
                     return s1 != 0 ? s1 : s2;
                   },
                   0, {0.0, 1.0}, 0.0});
  cases.push_back(Priced("black bond option expiring today is worth 0",
                         With<T>([](T& t) { t.optionYears = 0.0; }), 0, {0.0}, 0.0));
  cases.push_back(Priced("black bond option expiring after the bond is worth 0",
                         With<T>([](T& t) { t.optionYears = 6.0; }), 0, {0.0}, 0.0));
  cases.push_back(Priced("black bond option on 3 coupons a year is worth 0",
                         With<T>([](T& t) { t.frequency = 3; }), 0, {0.0}, 0.0));
  cases.push_back({"black bond option curve reference holding no array: -4",
                   [](const Api& api, std::vector<double>& v) {
                     SAFEARRAY* none = nullptr;
                     double r = -1;
                     const std::int32_t s =
                         api.HW_BlackBondOption(36526, 5, 0.06, 100, 2, 1, 100, 0.1, 1, 1, &none, &r);
                     v.push_back(r);
                     return s;
                   },
                   -4, {0.0}, 0.0});
  cases.push_back({"black bond option second dimension declared 1 To 2: -2",
                   [](const Api& api, std::vector<double>& v) {
                     Array a({{36526, 0.05}}, 0, 1);
                     double r = -1;
                     const std::int32_t s = api.HW_BlackBondOption(36526, 5, 0.06, 100, 2, 1, 100, 0.1, 1, 1,
                                                                   a.get(), &r);
                     v.push_back(r);
                     return s;
                   },
                   -2, {0.0}, 0.0});
  cases.push_back(Priced("black bond option NaN expiry: -9", With<T>([](T& t) { t.optionYears = kNan; }), -9,
                         {0.0}, 0.0));
  cases.push_back(Priced("black bond option infinite strike: -9", With<T>([](T& t) { t.strike = kInf; }), -9,
                         {0.0}, 0.0));
  cases.push_back(Priced("black bond option NaN volatility: -9", With<T>([](T& t) { t.yieldVol = kNan; }), -9,
                         {0.0}, 0.0));
  cases.push_back(Priced("black bond option expiry past year 9999: -9",
                         With<T>([](T& t) { t.optionYears = 9000.0; }), -9, {0.0}, 0.0));
  cases.push_back(Priced("black bond option bond maturity past year 9999: -9",
                         With<T>([](T& t) { t.bondYears = 1e300; }), -9, {0.0}, 0.0));
  cases.push_back(Priced("black bond option valuation before year 1: -9",
                         With<T>([](T& t) { t.serial = -800000; }), -9, {0.0}, 0.0));
  cases.push_back(Priced("black bond option on rates too large to discount: -9", T{}, -9, {0.0}, 0.0,
                         FlatCurve(36526, 1e300)));
  cases.push_back({"black bond option null result pointer: -9",
                   [](const Api& api, std::vector<double>&) {
                     Array a(FlatCurve(36526, 0.05));
                     return api.HW_BlackBondOption(36526, 5, 0.06, 100, 2, 1, 100, 0.1, 1, 1, a.get(), nullptr);
                   },
                   -9, {}, 0.0});
}

void AddSwaptionCases(std::vector<Case>& cases) {
  using T = SwaptionTerms;
  cases.push_back(Priced("black swaption payer", T{}, 0, {1.7998140}));
  cases.push_back(
      Priced("black swaption receiver", With<T>([](T& t) { t.receiverFlag = 1; }), 0, {1.5379233}));
  for (std::int32_t flag : {2, -1}) {
    cases.push_back(Priced("black swaption flag " + std::to_string(flag) + " is a payer",
                           With<T>([=](T& t) { t.receiverFlag = flag; }), 0, {1.7998140}));
  }
  for (std::int32_t f : {3, 0, -2}) {
    cases.push_back(Priced("black swaption " + std::to_string(f) + " payments a year: -2",
                           With<T>([=](T& t) { t.frequency = f; }), -2, {0.0}, 0.0));
  }
  cases.push_back(Priced("black swaption on a swap ending at expiry is worth 0",
                         With<T>([](T& t) { t.endYears = 1.0; }), 0, {0.0}, 0.0));
  cases.push_back(Priced("black swaption expiring today is worth 0",
                         With<T>([](T& t) { t.expiryYears = 0.0; }), 0, {0.0}, 0.0));
  cases.push_back(
      Priced("black swaption NaN swap end: -9", With<T>([](T& t) { t.endYears = kNan; }), -9, {0.0}, 0.0));
  cases.push_back(Priced("black swaption infinite notional: -9", With<T>([](T& t) { t.notional = -kInf; }),
                         -9, {0.0}, 0.0));
  cases.push_back(Priced("black swaption expiry past year 9999: -9",
                         With<T>([](T& t) { t.expiryYears = 9000.0; }), -9, {0.0}, 0.0));
  cases.push_back(Priced("black swaption valuation after year 9999: -9",
                         With<T>([](T& t) { t.serial = 3000000; }), -9, {0.0}, 0.0));
  cases.push_back({"black swaption null result pointer: -9",
                   [](const Api& api, std::vector<double>&) {
                     Array a(FlatCurve(36526, 0.05));
                     return api.HW_BlackSwapOption(36526, 1, 6, 0.05, 100, 2, 0.2, 0, a.get(), nullptr);
                   },
                   -9, {}, 0.0});
  cases.push_back({"black swaption curve reference holding no array: -4",
                   [](const Api& api, std::vector<double>& v) {
                     SAFEARRAY* none = nullptr;
                     double r = -1;
                     const std::int32_t s = api.HW_BlackSwapOption(36526, 1, 6, 0.05, 100, 2, 0.2, 0, &none, &r);
                     v.push_back(r);
                     return s;
                   },
                   -4, {0.0}, 0.0});
}

void AddCapCases(std::vector<Case>& cases) {
  using T = CapTerms;
  cases.push_back(Priced("black cap", T{}, 0, {1.2055755}));
  for (std::int32_t flag : {0, 2, -1}) {
    cases.push_back(Priced("black cap flag " + std::to_string(flag) + " is a floor",
                           With<T>([=](T& t) { t.capFlag = flag; }), 0, {1.1264071}));
  }
  for (std::int32_t f : {3, 0, 6}) {
    cases.push_back(Priced("black cap " + std::to_string(f) + " payments a year: -3",
                           With<T>([=](T& t) { t.frequency = f; }), -3, {0.0}, 0.0));
  }
  cases.push_back(Priced("black cap ending before its start is worth 0",
                         With<T>([](T& t) { t.endYears = 0.2; }), 0, {0.0}, 0.0));
  cases.push_back(
      Priced("black cap NaN cap rate: -9", With<T>([](T& t) { t.capRate = kNan; }), -9, {0.0}, 0.0));
  cases.push_back(
      Priced("black cap infinite volatility: -9", With<T>([](T& t) { t.vol = kInf; }), -9, {0.0}, 0.0));
  cases.push_back(Priced("black cap start before year 1: -9", With<T>([](T& t) { t.startYears = -3000.0; }),
                         -9, {0.0}, 0.0));
  cases.push_back({"black cap null result pointer: -9",
                   [](const Api& api, std::vector<double>&) {
                     Array a(FlatCurve(36526, 0.05));
                     return api.HW_BlackCap(36526, 0.25, 3, 0.05, 100, 4, 0.2, 1, a.get(), nullptr);
                   },
                   -9, {}, 0.0});
  cases.push_back({"black cap one-dimensional curve: -5",
                   [](const Api& api, std::vector<double>& v) {
                     Array a(VT_R8, {{4, 0}});
                     double r = -1;
                     const std::int32_t s = api.HW_BlackCap(36526, 0.25, 3, 0.05, 100, 4, 0.2, 1, a.get(), &r);
                     v.push_back(r);
                     return s;
                   },
                   -5, {0.0}, 0.0});
}

void AddBlackCases(std::vector<Case>& cases) {
  AddBondOptionCases(cases);
  AddSwaptionCases(cases);
  AddCapCases(cases);
}

const bool registered = RegisterCases(AddBlackCases);

}  // namespace
}  // namespace acceptance
