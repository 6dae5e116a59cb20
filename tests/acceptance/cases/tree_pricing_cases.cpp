// HW_TreeSwapOption, HW_TreeCap, HW_BondTreeRateDelta and HW_CapTreeRateDelta
// through real arrays: values pinned by the tree's geometry, by today's
// discount factors on a flat 5 % curve and by the closed-form Hull-White
// prices, and every status the exports return.
#include <cmath>
#include <limits>

#include "acceptance.h"

namespace acceptance {
namespace {

const double kNan = std::numeric_limits<double>::quiet_NaN();

double Df(double days) { return std::exp(-0.05 * days / 365.0); }

void AddTreePricingCases(std::vector<Case>& cases) {
  // Spacing of the normal tree one step after today: sigma sqrt(3 dt0/365).
  // The bond tree takes 10 equal steps to a 1-year expiry (36.5 days); the
  // cap tree from 1 to 5 years with the parameter 10 takes 10/5 = 2 steps a
  // year, so its first year splits into 3 steps of 365/3 days, and with 50
  // into 11 steps.
  cases.push_back(OnCurve("tree rate delta: bond tree, normal", [](const Api& api, SAFEARRAY** c, double* v) {
    return api.HW_BondTreeRateDelta(36526, 5.0, 1.0, c, 0.01, 0.1, 10, 0, v);
  }, 0, {0.01 * std::sqrt(0.3)}, 1e-13));
  cases.push_back(OnCurve("tree rate delta: cap tree, normal, 2 steps a year", [](const Api& api, SAFEARRAY** c, double* v) {
    return api.HW_CapTreeRateDelta(36526, 1.0, 5.0, 4, c, 0.01, 0.1, 10, 0, v);
  }, 0, {0.01}, 1e-13));
  cases.push_back(OnCurve("tree rate delta: cap tree, normal, 10 steps a year", [](const Api& api, SAFEARRAY** c, double* v) {
    return api.HW_CapTreeRateDelta(36526, 1.0, 5.0, 4, c, 0.01, 0.1, 50, 0, v);
  }, 0, {0.01 * std::sqrt(3.0 / 11.0)}, 1e-13));

  // Swap from 31 December 2000 to 31 December 2002, paid yearly (both
  // accruals 365/365): receiver - payer is the swap's value today,
  // 100 (K (P(730) + P(1095)) - (P(365) - P(1095))), on the lognormal tree
  // to its fit tolerance.
  const double swap = 100 * (0.05 * (Df(730) + Df(1095)) - (Df(365) - Df(1095)));
  cases.push_back(Compared(
      "tree swaption: receiver - payer is the swap, lognormal",
      [](const Api& api, SAFEARRAY** c, double* v) {
        return api.HW_TreeSwapOption(36526, 3.0, 1.0, 0.05, 100.0, 1, 1, c, 0.2, 0.1, 50, 1, v);
      },
      [](const Api& api, SAFEARRAY** c, double* v) {
        return api.HW_TreeSwapOption(36526, 3.0, 1.0, 0.05, 100.0, 1, 0, c, 0.2, 0.1, 50, 1, v);
      },
      {swap}, 1e-5));
  // The same swaption starting today is the swap's positive part today.
  const double today = 100 * (0.04 * (Df(365) + Df(730)) - (1.0 - Df(730)));
  cases.push_back(OnCurve("tree swaption: payer starting today is the swap's negative part", [](const Api& api, SAFEARRAY** c, double* v) {
    return api.HW_TreeSwapOption(36526, 2.0, 0.0, 0.04, 100.0, 1, 0, c, 0.2, 0.1, 50, 1, v);
  }, 0, {-today}, 1e-5));
  // On matching dates (1 January 2002 to 1 January 2004, yearly) the normal
  // tree at 365 steps a year is within 0.006 of the closed form at the money.
  cases.push_back(Compared(
      "tree swaption: normal tree near the closed form",
      [](const Api& api, SAFEARRAY** c, double* v) {
        return api.HW_TreeSwapOption(36892, 3.0, 1.0, 0.05, 100.0, 1, 1, c, 0.01, 0.1, 365, 0, v);
      },
      [](const Api& api, SAFEARRAY** c, double* v) {
        return api.HW_HullWhiteSwapOption(36892, 1.0, 3.0, 0.05, 100.0, 1, 0.01, 0.1, 1, c, v);
      },
      {0.0}, 6e-3, FlatCurve(36892, 0.05)));

  // Quarterly cap from 1 April 2000 (91 days) to 31 December 2002 (1095
  // days) struck at 0 on the lognormal tree: 100 (P(91) - P(1095)).
  cases.push_back(OnCurve("tree cap: strike 0 is the bonds, lognormal", [](const Api& api, SAFEARRAY** c, double* v) {
    return api.HW_TreeCap(36526, 3.0, 0.25, 0.0, 100.0, 4, 1, c, 0.2, 0.1, 10, 1, v);
  }, 0, {100 * (Df(91) - Df(1095))}, 1e-4));
  // One caplet resetting today, 91 days at 2 %: the tree settles it at its
  // intrinsic value 100 (1 - (1 + 0.02 tau) P(91)) (the other cap exports
  // leave it out); flag 2 is the cap.
  cases.push_back(OnCurve("tree cap: caplet resetting today counts", [](const Api& api, SAFEARRAY** c, double* v) {
    return api.HW_TreeCap(36526, 0.25, 0.0, 0.02, 100.0, 4, 2, c, 0.2, 0.1, 10, 1, v);
  }, 0, {100 * (1 - (1 + 0.02 * 91 / 365.0) * Df(91))}, 1e-6));
  cases.push_back(Compared(
      "tree cap: normal tree near the closed form",
      [](const Api& api, SAFEARRAY** c, double* v) {
        return api.HW_TreeCap(36526, 5.0, 1.0, 0.05, 100.0, 4, 1, c, 0.01, 0.1, 20, 0, v);
      },
      [](const Api& api, SAFEARRAY** c, double* v) {
        return api.HW_HullWhiteCap(36526, 1.0, 5.0, 0.05, 100.0, 4, 0.01, 0.1, 1, c, v);
      },
      {0.0}, 0.015, FlatCurve(36526, 0.05), [](double tree, double closed) { return tree / closed - 1.0; }));

  // Statuses; the result is 0 on every failure.
  cases.push_back(OnCurve("tree swaption: 3 payments a year -2", [](const Api& api, SAFEARRAY** c, double* v) {
    return api.HW_TreeSwapOption(36526, 3.0, 1.0, 0.05, 100.0, 3, 1, c, 0.01, 0.1, 50, 0, v);
  }, -2, {0.0}, 0.0));
  cases.push_back(OnCurve("tree swaption: no steps -1", [](const Api& api, SAFEARRAY** c, double* v) {
    return api.HW_TreeSwapOption(36526, 3.0, 1.0, 0.05, 100.0, 1, 1, c, 0.01, 0.1, 0, 0, v);
  }, -1, {0.0}, 0.0));
  cases.push_back(OnCurve("tree swaption: NaN notional -9", [](const Api& api, SAFEARRAY** c, double* v) {
    return api.HW_TreeSwapOption(36526, 3.0, 1.0, 0.05, kNan, 1, 1, c, 0.01, 0.1, 50, 0, v);
  }, -9, {0.0}, 0.0));
  cases.push_back(OnCurve("tree cap: 3 payments a year -3", [](const Api& api, SAFEARRAY** c, double* v) {
    return api.HW_TreeCap(36526, 3.0, 0.25, 0.05, 100.0, 3, 1, c, 0.01, 0.1, 10, 0, v);
  }, -3, {0.0}, 0.0));
  cases.push_back(OnCurve("tree cap: start and end swapped -3", [](const Api& api, SAFEARRAY** c, double* v) {
    return api.HW_TreeCap(36526, 0.25, 3.0, 0.05, 100.0, 4, 1, c, 0.01, 0.1, 10, 0, v);
  }, -3, {0.0}, 0.0));
  cases.push_back(OnCurve("tree cap: a dt of 1 or more -1", [](const Api& api, SAFEARRAY** c, double* v) {
    return api.HW_TreeCap(36526, 3.0, 0.25, 0.05, 100.0, 4, 1, c, 0.01, 800.0, 1, 0, v);
  }, -1, {0.0}, 0.0));
  cases.push_back(OnCurve("tree cap: NaN volatility -9", [](const Api& api, SAFEARRAY** c, double* v) {
    return api.HW_TreeCap(36526, 3.0, 0.25, 0.05, 100.0, 4, 1, c, kNan, 0.1, 10, 0, v);
  }, -9, {0.0}, 0.0));
  cases.push_back(OnCurve("tree rate delta: cap end not after start -3", [](const Api& api, SAFEARRAY** c, double* v) {
    return api.HW_CapTreeRateDelta(36526, 5.0, 5.0, 4, c, 0.01, 0.1, 10, 0, v);
  }, -3, {0.0}, 0.0));
  cases.push_back(OnCurve("tree rate delta: bond tree without steps -1", [](const Api& api, SAFEARRAY** c, double* v) {
    return api.HW_BondTreeRateDelta(36526, 5.0, 1.0, c, 0.01, 0.1, 0, 0, v);
  }, -1, {0.0}, 0.0));
  cases.push_back(OnCurve("tree rate delta: NaN expiry -9", [](const Api& api, SAFEARRAY** c, double* v) {
    return api.HW_BondTreeRateDelta(36526, 5.0, kNan, c, 0.01, 0.1, 10, 0, v);
  }, -9, {0.0}, 0.0));
  cases.push_back({"tree cap: curve holding no array -4",
                   [](const Api& api, std::vector<double>& values) {
                     SAFEARRAY* none = nullptr;
                     double v = -1.0;
                     const std::int32_t s = api.HW_TreeCap(36526, 3.0, 0.25, 0.05, 100.0, 4, 1, &none, 0.01, 0.1, 10, 0, &v);
                     values.push_back(v);
                     return s;
                   },
                   -4, {0.0}, 0.0});
  cases.push_back(OnCurve("tree swaption: null result -9", [](const Api& api, SAFEARRAY** c, double*) {
    return api.HW_TreeSwapOption(36526, 3.0, 1.0, 0.05, 100.0, 1, 1, c, 0.01, 0.1, 50, 0, nullptr);
  }, -9, {-1.0}, 0.0));
  cases.push_back(OnCurve("tree rate delta: null result -9", [](const Api& api, SAFEARRAY** c, double*) {
    return api.HW_CapTreeRateDelta(36526, 1.0, 5.0, 4, c, 0.01, 0.1, 10, 0, nullptr);
  }, -9, {-1.0}, 0.0));
}

const bool registered = RegisterCases(AddTreePricingCases);

}  // namespace
}  // namespace acceptance
