// HW_TreeBondOption through real arrays: values pinned by the bond's value
// on the same curve and by the closed-form Hull-White option, and every
// status the export returns.
#include <cmath>
#include <limits>

#include "acceptance.h"
#include "curve_cases.h"

namespace acceptance {
namespace {

// A 1-year option on a 5-year 6 % semi-annual bond struck at 100 (dirty), on
// the normal tree of 100 steps.
struct TreeOption {
  double maturityYears = 5.0, coupon = 0.06;
  int frequency = 2;
  double expiryYears = 1.0, strike = 100.0;
  int call = 1, american = 0, clean = 0;
  double sigma = 0.01, a = 0.1;
  int steps = 100, kind = 0;
};

// The export on the flat 5 % curve from 1 January 2000.
CurveCall Tree(TreeOption o) {
  return [o](const Api& api, SAFEARRAY** curve, double* v) {
    return api.HW_TreeBondOption(36526, o.maturityYears, o.coupon, 100.0, o.frequency, o.expiryYears, o.strike,
                                 o.call, o.american, o.clean, curve, o.sigma, o.a, o.steps, o.kind, v);
  };
}

Case TreeCase(std::string name, TreeOption o, std::int32_t status, std::vector<double> expected, double tol) {
  return OnCurve(std::move(name), Tree(o), status, std::move(expected), tol);
}

void AddTreeCases(std::vector<Case>& cases) {
  // A zero-coupon bond of 5 years (1825 days) on a flat 5 % curve: a
  // European call struck at 0 is its value today, 100 exp(-0.25), on the
  // lognormal and shape trees to the fit's accuracy.
  const double zeroValue = 100.0 * std::exp(-0.05 * 5.0);
  for (int kind : {1, 2}) {
    cases.push_back(TreeCase("tree bond option: strike 0 is the bond's value, kind " + std::to_string(kind),
                             {.coupon = 0.0, .strike = 0.0, .sigma = 0.2, .kind = kind}, 0, {zeroValue},
                             1e-6 * zeroValue));
  }
  // The normal tree at 200 steps within 0.5 % of the closed form, at the
  // money forward (1-year expiry on the 5-year zero bond).
  const TreeOption atTheMoney{.coupon = 0.0, .strike = 100.0 * std::exp(-0.05 * 4.0), .steps = 200};
  cases.push_back(Compared(
      "tree bond option: normal tree near the closed form", Tree(atTheMoney),
      [](const Api& api, SAFEARRAY** c, double* v) {
        return api.HW_HullWhiteBondOption(36526, 5.0, 0.0, 100.0, 2, 1.0, 100.0 * std::exp(-0.05 * 4.0), 0.01, 0.1, 1,
                                          0, c, v);
      },
      {0.0}, 5e-3, FlatCurve(36526, 0.05), [](double tree, double closed) { return tree / closed - 1.0; }));
  // 100 equal steps of 0.88 day to an 88-day expiry on a 2-year quarterly
  // bond: a coupon date 3 days past the lattice's end first moves onto the
  // grid date within 5 days of it and then, lying inside the lattice, onto
  // the nearest of the later grid dates, two steps before the lattice's end.
  // The value is that grid's (pinned to 1e-12, the width of a rounding).
  cases.push_back(TreeCase("tree bond option: a date past the lattice snaps by the grid's own walk",
                           {.maturityYears = 2.0, .coupon = 0.05, .frequency = 4, .expiryYears = 88.0 / 365.0,
                            .call = 0, .sigma = 0.2, .kind = 1},
                           0, {0.026912093562729}, 1e-12));
  // Statuses; the result is 0 on every failure. Coupons so large that the
  // bond's value overflows leave no price to report.
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Refused {
    const char* name;
    TreeOption o;
    std::int32_t status;
  };
  const Refused refused[] = {
      {"tree bond option: no steps -1", {.steps = 0}, -1},
      {"tree bond option: expiry today -1", {.expiryYears = 0.0}, -1},
      {"tree bond option: enormous tree -1", {.steps = 2000000000}, -1},
      {"tree bond option: a dt of 1 or more -1", {.a = 400.0, .steps = 1}, -1},
      {"tree bond option: NaN strike -9", {.strike = nan}, -9},
      {"tree bond option: an overflowing value -9", {.coupon = 1e308}, -9},
  };
  for (const Refused& r : refused) cases.push_back(TreeCase(r.name, r.o, r.status, {0.0}, 0.0));
  cases.push_back(HandedCase("tree bond option: curve holding no array -4", Tree({}), Handed::kNoArray, -4));
  cases.push_back(HandedCase("tree bond option: null result -9", Tree({.steps = 50}), Handed::kNullResult, -9));
}

const bool registered = RegisterCases(AddTreeCases);

}  // namespace
}  // namespace acceptance
