// HW_TreeBondOption through real arrays: values pinned by the bond's value
// on the same curve and by the closed-form Hull-White option, and every
// status the export returns.
#include <cmath>
#include <limits>

#include "acceptance.h"

namespace acceptance {
namespace {

struct TreeOption {
  double maturityYears = 5.0;
  double coupon = 0.06;
  int frequency = 2;
  double expiryYears = 1.0;
  double strike = 100.0;
  int call = 1;
  int american = 0;
  int clean = 0;
  double sigma = 0.01;
  double a = 0.1;
  int steps = 100;
  int kind = 0;
};

std::int32_t Tree(const Api& api, std::vector<double>& values, SAFEARRAY** curve, const TreeOption& o) {
  double v = -1.0;
  const std::int32_t status =
      api.HW_TreeBondOption(36526, o.maturityYears, o.coupon, 100.0, o.frequency, o.expiryYears, o.strike,
                            o.call, o.american, o.clean, curve, o.sigma, o.a, o.steps, o.kind, &v);
  values.push_back(v);
  return status;
}

Case TreeCase(std::string name, TreeOption o, std::int32_t status, std::vector<double> expected, double tol) {
  return {std::move(name),
          [o](const Api& api, std::vector<double>& values) {
            Array curve(FlatCurve(36526, 0.05));
            return Tree(api, values, curve.get(), o);
          },
          status, std::move(expected), tol};
}

void AddTreeCases(std::vector<Case>& cases) {
  // A zero-coupon bond of 5 years (1825 days) on a flat 5 % curve: a
  // European call struck at 0 is its value today, 100 exp(-0.25), on the
  // lognormal and shape trees to the fit's accuracy.
  const double zeroValue = 100.0 * std::exp(-0.05 * 5.0);
  for (int kind : {1, 2}) {
    TreeOption o;
    o.coupon = 0.0;
    o.strike = 0.0;
    o.kind = kind;
    o.sigma = 0.2;
    cases.push_back(TreeCase("tree bond option: strike 0 is the bond's value, kind " + std::to_string(kind), o,
                             0, {zeroValue}, 1e-6 * zeroValue));
  }
  // The normal tree at 200 steps within 0.5 % of the closed form, at the
  // money forward (1-year expiry on the 5-year zero bond).
  cases.push_back({"tree bond option: normal tree near the closed form",
                   [](const Api& api, std::vector<double>& values) {
                     Array curve(FlatCurve(36526, 0.05));
                     TreeOption o;
                     o.coupon = 0.0;
                     o.steps = 200;
                     o.strike = 100.0 * std::exp(-0.05 * 4.0);
                     std::vector<double> v;
                     const std::int32_t s = Tree(api, v, curve.get(), o);
                     double closed = 0.0;
                     const std::int32_t s2 = api.HW_HullWhiteBondOption(36526, 5.0, 0.0, 100.0, 2, 1.0, o.strike,
                                                                        0.01, 0.1, 1, 0, curve.get(), &closed);
                     values.push_back(v[0] / closed - 1.0);
                     return s != 0 ? s : s2;
                   },
                   0, {0.0}, 5e-3});
  // 100 equal steps of 0.88 day to an 88-day expiry on a 2-year quarterly
  // bond: a coupon date 3 days past the lattice's end first moves onto the
  // grid date within 5 days of it and then, lying inside the lattice, onto
  // the nearest of the later grid dates, two steps before the lattice's end.
  // The value is that grid's (pinned to 1e-12, the width of a rounding).
  TreeOption shortSteps;
  shortSteps.maturityYears = 2.0;
  shortSteps.coupon = 0.05;
  shortSteps.frequency = 4;
  shortSteps.expiryYears = 88.0 / 365.0;
  shortSteps.call = 0;
  shortSteps.sigma = 0.2;
  shortSteps.kind = 1;
  cases.push_back(TreeCase("tree bond option: a date past the lattice snaps by the grid's own walk", shortSteps,
                           0, {0.026912093562729}, 1e-12));
  // Statuses; the result is 0 on every failure.
  const double nan = std::numeric_limits<double>::quiet_NaN();
  TreeOption noSteps;
  noSteps.steps = 0;
  cases.push_back(TreeCase("tree bond option: no steps -1", noSteps, -1, {0.0}, 0.0));
  TreeOption today;
  today.expiryYears = 0.0;
  cases.push_back(TreeCase("tree bond option: expiry today -1", today, -1, {0.0}, 0.0));
  TreeOption huge;
  huge.steps = 2000000000;
  cases.push_back(TreeCase("tree bond option: enormous tree -1", huge, -1, {0.0}, 0.0));
  TreeOption fast;
  fast.a = 400.0;
  fast.steps = 1;
  cases.push_back(TreeCase("tree bond option: a dt of 1 or more -1", fast, -1, {0.0}, 0.0));
  TreeOption bad;
  bad.strike = nan;
  cases.push_back(TreeCase("tree bond option: NaN strike -9", bad, -9, {0.0}, 0.0));
  // Coupons so large that the bond's value overflows: no price to report.
  TreeOption overflowing;
  overflowing.coupon = 1e308;
  cases.push_back(TreeCase("tree bond option: an overflowing value -9", overflowing, -9, {0.0}, 0.0));
  cases.push_back({"tree bond option: curve holding no array -4",
                   [](const Api& api, std::vector<double>& values) {
                     SAFEARRAY* none = nullptr;
                     return Tree(api, values, &none, TreeOption{});
                   },
                   -4, {0.0}, 0.0});
  cases.push_back({"tree bond option: null result -9",
                   [](const Api& api, std::vector<double>&) {
                     Array curve(FlatCurve(36526, 0.05));
                     return api.HW_TreeBondOption(36526, 5.0, 0.06, 100.0, 2, 1.0, 100.0, 1, 0, 0, curve.get(),
                                                  0.01, 0.1, 50, 0, nullptr);
                   },
                   -9, {}, 0.0});
}

const bool registered = RegisterCases(AddTreeCases);

}  // namespace
}  // namespace acceptance
