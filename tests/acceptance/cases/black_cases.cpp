// HW_BlackBondOption, HW_BlackSwapOption and HW_BlackCap through real
// arrays: the worked prices, the flags, the schedule statuses and refused
// arguments.
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "acceptance.h"
#include "curve_cases.h"

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

// Quarterly cap from 3 months to 3 years at 5%, valued 1 January 2000.
struct CapTerms {
  double startYears = 0.25, endYears = 3.0, capRate = 0.05, notional = 100.0;
  std::int32_t frequency = 4;
  double vol = 0.2;
  std::int32_t capFlag = 1;
};

// Each export on its terms.
CurveCall BondOption(const BondOptionTerms& t) {
  return [t](const Api& api, SAFEARRAY** curve, double* v) {
    return api.HW_BlackBondOption(t.serial, t.bondYears, t.coupon, t.face, t.frequency, t.optionYears, t.strike,
                                  t.yieldVol, t.callFlag, t.cleanFlag, curve, v);
  };
}
CurveCall Swaption(const SwaptionTerms& t) {
  return [t](const Api& api, SAFEARRAY** curve, double* v) {
    return api.HW_BlackSwapOption(t.serial, t.expiryYears, t.endYears, t.fixedRate, t.notional, t.frequency, t.vol,
                                  t.receiverFlag, curve, v);
  };
}
CurveCall Cap(const CapTerms& t) {
  return [t](const Api& api, SAFEARRAY** curve, double* v) {
    return api.HW_BlackCap(36526, t.startYears, t.endYears, t.capRate, t.notional, t.frequency, t.vol, t.capFlag,
                           curve, v);
  };
}

void AddBlackCases(std::vector<Case>& cases) {
  AddRows(cases, {
      // Worked values, to seven decimals: strike 100 clean (dirty
      // 100.0164835) and strike 100 dirty. A call flag other than 1 is the
      // put, a clean flag other than 1 the dirty strike.
      {"black bond option call, clean strike", BondOption({}), 0, 3.2006593, 5e-8},
      {"black bond option put, clean strike", BondOption({.callFlag = 0}), 0, 0.0224717, 5e-8},
      {"black bond option call, dirty strike", BondOption({.cleanFlag = 0}), 0, 3.2158151, 5e-8},
      {"black bond option put, dirty strike", BondOption({.callFlag = 0, .cleanFlag = 0}), 0, 0.0219478, 5e-8},
      {"black bond option call flag 2 is a put", BondOption({.callFlag = 2}), 0, 0.0224717, 5e-8},
      {"black bond option clean flag 2 is dirty", BondOption({.cleanFlag = 2}), 0, 3.2158151, 5e-8},
      {"black bond option call flag -1 is a put", BondOption({.callFlag = -1}), 0, 0.0224717, 5e-8},
      {"black bond option clean flag -1 is dirty", BondOption({.cleanFlag = -1}), 0, 3.2158151, 5e-8},
      {"black bond option expiring today is worth 0", BondOption({.optionYears = 0.0}), 0, 0.0, 0.0},
      {"black bond option expiring after the bond is worth 0", BondOption({.optionYears = 6.0}), 0, 0.0, 0.0},
      {"black bond option on 3 coupons a year is worth 0", BondOption({.frequency = 3}), 0, 0.0, 0.0},
      {"black bond option NaN expiry: -9", BondOption({.optionYears = kNan}), -9, 0.0, 0.0},
      {"black bond option infinite strike: -9", BondOption({.strike = kInf}), -9, 0.0, 0.0},
      {"black bond option NaN volatility: -9", BondOption({.yieldVol = kNan}), -9, 0.0, 0.0},
      {"black bond option expiry past year 9999: -9", BondOption({.optionYears = 9000.0}), -9, 0.0, 0.0},
      {"black bond option bond maturity past year 9999: -9", BondOption({.bondYears = 1e300}), -9, 0.0, 0.0},
      {"black bond option valuation before year 1: -9", BondOption({.serial = -800000}), -9, 0.0, 0.0},
      {"black bond option on rates too large to discount: -9", BondOption({}), -9, 0.0, 0.0,
       FlatCurve(36526, 1e300)},
      // A payer unless the flag is 1.
      {"black swaption payer", Swaption({}), 0, 1.7998140, 5e-8},
      {"black swaption receiver", Swaption({.receiverFlag = 1}), 0, 1.5379233, 5e-8},
      {"black swaption flag 2 is a payer", Swaption({.receiverFlag = 2}), 0, 1.7998140, 5e-8},
      {"black swaption flag -1 is a payer", Swaption({.receiverFlag = -1}), 0, 1.7998140, 5e-8},
      {"black swaption 3 payments a year: -2", Swaption({.frequency = 3}), -2, 0.0, 0.0},
      {"black swaption 0 payments a year: -2", Swaption({.frequency = 0}), -2, 0.0, 0.0},
      {"black swaption -2 payments a year: -2", Swaption({.frequency = -2}), -2, 0.0, 0.0},
      {"black swaption on a swap ending at expiry is worth 0", Swaption({.endYears = 1.0}), 0, 0.0, 0.0},
      {"black swaption expiring today is worth 0", Swaption({.expiryYears = 0.0}), 0, 0.0, 0.0},
      {"black swaption NaN swap end: -9", Swaption({.endYears = kNan}), -9, 0.0, 0.0},
      {"black swaption infinite notional: -9", Swaption({.notional = -kInf}), -9, 0.0, 0.0},
      {"black swaption expiry past year 9999: -9", Swaption({.expiryYears = 9000.0}), -9, 0.0, 0.0},
      {"black swaption valuation after year 9999: -9", Swaption({.serial = 3000000}), -9, 0.0, 0.0},
      // A floor unless the flag is 1.
      {"black cap", Cap({}), 0, 1.2055755, 5e-8},
      {"black cap flag 0 is a floor", Cap({.capFlag = 0}), 0, 1.1264071, 5e-8},
      {"black cap flag 2 is a floor", Cap({.capFlag = 2}), 0, 1.1264071, 5e-8},
      {"black cap flag -1 is a floor", Cap({.capFlag = -1}), 0, 1.1264071, 5e-8},
      {"black cap 3 payments a year: -3", Cap({.frequency = 3}), -3, 0.0, 0.0},
      {"black cap 0 payments a year: -3", Cap({.frequency = 0}), -3, 0.0, 0.0},
      {"black cap 6 payments a year: -3", Cap({.frequency = 6}), -3, 0.0, 0.0},
      {"black cap ending before its start is worth 0", Cap({.endYears = 0.2}), 0, 0.0, 0.0},
      {"black cap NaN cap rate: -9", Cap({.capRate = kNan}), -9, 0.0, 0.0},
      {"black cap infinite volatility: -9", Cap({.vol = kInf}), -9, 0.0, 0.0},
      {"black cap start before year 1: -9", Cap({.startYears = -3000.0}), -9, 0.0, 0.0},
  });

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

  // The curve reader's statuses and a missing result.
  struct HandedRow {
    const char* name;
    CurveCall call;
    Handed handed;
    std::int32_t status;
  };
  const HandedRow handed[] = {
      {"black bond option curve reference holding no array: -4", BondOption({}), Handed::kNoArray, -4},
      {"black bond option second dimension declared 1 To 2: -2", BondOption({}), Handed::kColumnsFrom1, -2},
      {"black bond option null result pointer: -9", BondOption({}), Handed::kNullResult, -9},
      {"black swaption null result pointer: -9", Swaption({}), Handed::kNullResult, -9},
      {"black swaption curve reference holding no array: -4", Swaption({}), Handed::kNoArray, -4},
      {"black cap null result pointer: -9", Cap({}), Handed::kNullResult, -9},
      {"black cap one-dimensional curve: -5", Cap({}), Handed::kOneDimensional, -5},
  };
  for (const HandedRow& r : handed) cases.push_back(HandedCase(r.name, r.call, r.handed, r.status));
}

const bool registered = RegisterCases(AddBlackCases);

}  // namespace
}  // namespace acceptance
