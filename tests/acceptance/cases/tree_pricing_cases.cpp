// HW_TreeSwapOption, HW_TreeCap, HW_BondTreeRateDelta and HW_CapTreeRateDelta
// through real arrays: values pinned by the tree's geometry, by today's
// discount factors on a flat 5 % curve and by the closed-form Hull-White
// prices, and every status the exports return.
#include <cmath>
#include <limits>

#include "acceptance.h"
#include "curve_cases.h"

namespace acceptance {
namespace {

const double kNan = std::numeric_limits<double>::quiet_NaN();

double Df(double days) { return std::exp(-0.05 * days / 365.0); }

// HW_TreeSwapOption: an option from 1 to 3 years on a yearly swap at 5 %,
// the right to receive fixed, on the normal tree of 50 steps a year.
struct SwaptionTerms {
  std::int32_t serial = 36526;
  double endYears = 3.0, startYears = 1.0, fixedRate = 0.05, notional = 100.0;
  std::int32_t perYear = 1, receiver = 1;
  double sigma = 0.01, a = 0.1;
  std::int32_t steps = 50, kind = 0;
};

// HW_TreeCap: a quarterly cap from 3 months to 3 years at 5 %, on the normal
// tree with the step parameter 10.
struct CapTerms {
  double endYears = 3.0, startYears = 0.25, rate = 0.05, notional = 100.0;
  std::int32_t perYear = 4, capFlag = 1;
  double sigma = 0.01, a = 0.1;
  std::int32_t stepParameter = 10, kind = 0;
};

CurveCall Swaption(const SwaptionTerms& t) {
  return [t](const Api& api, SAFEARRAY** c, double* v) {
    return api.HW_TreeSwapOption(t.serial, t.endYears, t.startYears, t.fixedRate, t.notional, t.perYear, t.receiver,
                                 c, t.sigma, t.a, t.steps, t.kind, v);
  };
}

CurveCall Cap(const CapTerms& t) {
  return [t](const Api& api, SAFEARRAY** c, double* v) {
    return api.HW_TreeCap(36526, t.endYears, t.startYears, t.rate, t.notional, t.perYear, t.capFlag, c, t.sigma, t.a,
                          t.stepParameter, t.kind, v);
  };
}

// The spacings of the bond tree (to an expiry, 10 steps by default) and of
// the cap tree (quarterly, the step parameter 10 by default), sigma 0.01.
CurveCall BondDelta(double maturityYears, double expiryYears, std::int32_t steps = 10) {
  return [=](const Api& api, SAFEARRAY** c, double* v) {
    return api.HW_BondTreeRateDelta(36526, maturityYears, expiryYears, c, 0.01, 0.1, steps, 0, v);
  };
}

CurveCall CapDelta(double startYears, double endYears, std::int32_t stepParameter = 10) {
  return [=](const Api& api, SAFEARRAY** c, double* v) {
    return api.HW_CapTreeRateDelta(36526, startYears, endYears, 4, c, 0.01, 0.1, stepParameter, 0, v);
  };
}

// The call without a result pointer; the result the case records is the -1
// it started from.
CurveCall WithoutResult(CurveCall call) {
  return [call](const Api& api, SAFEARRAY** c, double*) { return call(api, c, nullptr); };
}

void AddTreePricingCases(std::vector<Case>& cases) {
  const double today = 100 * (0.04 * (Df(365) + Df(730)) - (1.0 - Df(730)));
  AddRows(cases, {
      // Spacing of the normal tree one step after today: sigma sqrt(3 dt0/365).
      // The bond tree takes 10 equal steps to a 1-year expiry (36.5 days);
      // the cap tree from 1 to 5 years with the parameter 10 takes 10/5 = 2
      // steps a year, so its first year splits into 3 steps of 365/3 days,
      // and with 50 into 11 steps.
      {"tree rate delta: bond tree, normal", BondDelta(5.0, 1.0), 0, 0.01 * std::sqrt(0.3), 1e-13},
      {"tree rate delta: cap tree, normal, 2 steps a year", CapDelta(1.0, 5.0), 0, 0.01, 1e-13},
      {"tree rate delta: cap tree, normal, 10 steps a year", CapDelta(1.0, 5.0, 50), 0, 0.01 * std::sqrt(3.0 / 11.0),
       1e-13},
      // The swaption from today to 2 years, yearly at 4 %, on the lognormal
      // tree: the payer is the swap's negative part today.
      {"tree swaption: payer starting today is the swap's negative part",
       Swaption({.endYears = 2.0, .startYears = 0.0, .fixedRate = 0.04, .receiver = 0, .sigma = 0.2, .kind = 1}), 0,
       -today, 1e-5},
      // A quarterly cap from 1 April 2000 (91 days) to 31 December 2002
      // (1095 days) struck at 0 on the lognormal tree: 100 (P(91) - P(1095)).
      {"tree cap: strike 0 is the bonds, lognormal", Cap({.rate = 0.0, .sigma = 0.2, .kind = 1}), 0,
       100 * (Df(91) - Df(1095)), 1e-4},
      // One caplet resetting today, 91 days at 2 %: the tree settles it at
      // its intrinsic value 100 (1 - (1 + 0.02 tau) P(91)) (the other cap
      // exports leave it out); flag 2 is the cap.
      {"tree cap: caplet resetting today counts",
       Cap({.endYears = 0.25, .startYears = 0.0, .rate = 0.02, .capFlag = 2, .sigma = 0.2, .kind = 1}), 0,
       100 * (1 - (1 + 0.02 * 91 / 365.0) * Df(91)), 1e-6},
      // Statuses; the result is 0 on every failure.
      {"tree swaption: 3 payments a year -2", Swaption({.perYear = 3}), -2, 0.0, 0.0},
      {"tree swaption: no steps -1", Swaption({.steps = 0}), -1, 0.0, 0.0},
      {"tree swaption: NaN notional -9", Swaption({.notional = kNan}), -9, 0.0, 0.0},
      {"tree cap: 3 payments a year -3", Cap({.perYear = 3}), -3, 0.0, 0.0},
      {"tree cap: start and end swapped -3", Cap({.endYears = 0.25, .startYears = 3.0}), -3, 0.0, 0.0},
      {"tree cap: a dt of 1 or more -1", Cap({.a = 800.0, .stepParameter = 1}), -1, 0.0, 0.0},
      {"tree cap: NaN volatility -9", Cap({.sigma = kNan}), -9, 0.0, 0.0},
      {"tree rate delta: cap end not after start -3", CapDelta(5.0, 5.0), -3, 0.0, 0.0},
      {"tree rate delta: bond tree without steps -1", BondDelta(5.0, 1.0, 0), -1, 0.0, 0.0},
      {"tree rate delta: NaN expiry -9", BondDelta(5.0, kNan), -9, 0.0, 0.0},
      {"tree swaption: null result -9", WithoutResult(Swaption({})), -9, -1.0, 0.0},
      {"tree rate delta: null result -9", WithoutResult(CapDelta(1.0, 5.0)), -9, -1.0, 0.0},
  });
  cases.push_back(HandedCase("tree cap: curve holding no array -4", Cap({}), Handed::kNoArray, -4));

  // Swap from 31 December 2000 to 31 December 2002, paid yearly (both
  // accruals 365/365): receiver - payer is the swap's value today,
  // 100 (K (P(730) + P(1095)) - (P(365) - P(1095))), on the lognormal tree
  // to its fit tolerance.
  const double swap = 100 * (0.05 * (Df(730) + Df(1095)) - (Df(365) - Df(1095)));
  cases.push_back(Compared("tree swaption: receiver - payer is the swap, lognormal",
                           Swaption({.sigma = 0.2, .kind = 1}), Swaption({.receiver = 0, .sigma = 0.2, .kind = 1}),
                           {swap}, 1e-5));
  // On matching dates (1 January 2002 to 1 January 2004, yearly) the normal
  // tree at 365 steps a year is within 0.006 of the closed form at the money.
  cases.push_back(Compared(
      "tree swaption: normal tree near the closed form", Swaption({.serial = 36892, .steps = 365}),
      [](const Api& api, SAFEARRAY** c, double* v) {
        return api.HW_HullWhiteSwapOption(36892, 1.0, 3.0, 0.05, 100.0, 1, 0.01, 0.1, 1, c, v);
      },
      {0.0}, 6e-3, FlatCurve(36892, 0.05)));
  cases.push_back(Compared(
      "tree cap: normal tree near the closed form",
      Cap({.endYears = 5.0, .startYears = 1.0, .stepParameter = 20}),
      [](const Api& api, SAFEARRAY** c, double* v) {
        return api.HW_HullWhiteCap(36526, 1.0, 5.0, 0.05, 100.0, 4, 0.01, 0.1, 1, c, v);
      },
      {0.0}, 0.015, FlatCurve(36526, 0.05), [](double tree, double closed) { return tree / closed - 1.0; }));
}

const bool registered = RegisterCases(AddTreePricingCases);

}  // namespace
}  // namespace acceptance
