// HW_BondPrice and every status of the curve reader, through real arrays.
#include <limits>

#include "acceptance.h"
#include "curve_cases.h"

namespace acceptance {
namespace {

// HW_BondPrice on a bond of face 100 valued on `serial`.
CurveCall Bond(double years, double coupon, int frequency, std::int32_t serial = 36526) {
  return [=](const Api& api, SAFEARRAY** curve, double* price) {
    return api.HW_BondPrice(serial, years, coupon, 100.0, frequency, curve, price);
  };
}

void AddBondCases(std::vector<Case>& cases) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  AddRows(cases, {
      // Worked prices, to seven decimals.
      {"bond 2y 6% semi-annual", Bond(2.0, 0.06, 2), 0, 101.7622758, 5e-8},
      {"bond 2.5y 6% semi-annual", Bond(2.5, 0.06, 2), 0, 102.1822931, 5e-8},
      {"bond 1.3y 8% quarterly", Bond(1.3, 0.08, 4), 0, 103.7165207, 5e-8},
      {"bond with 3 coupons a year prices to 0", Bond(2.0, 0.06, 3), 0, 0.0, 0.0},
      {"repeated date keeps the first row", Bond(2.0, 0.06, 2), 0, 101.7622758, 5e-8,
       {{36526, 0.05}, {36526, 0.09}}},
      // Guarded bad input.
      {"NaN maturity: -9", Bond(nan, 0.06, 2), -9, 0.0, 0.0},
      {"infinite coupon: -9", Bond(2.0, inf, 2), -9, 0.0, 0.0},
      {"maturity past year 9999: -9", Bond(9000.0, 0.06, 2), -9, 0.0, 0.0},
      {"NaN rate in the curve: -9", Bond(2.0, 0.06, 2), -9, 0.0, 0.0, {{36526, nan}}},
      {"valuation serial before year 1: -9", Bond(2.0, 0.06, 2, -800000), -9, 0.0, 0.0},
  });

  // Curve reader statuses. An empty curve reads 0 everywhere: the bond's
  // flows undiscounted, less the accrued interest (0 on this accrual start).
  const CurveCall bond = Bond(2.0, 0.06, 2);
  cases.push_back(HandedCase("curve reference holding no array: -4", bond, Handed::kNoArray, -4));
  cases.push_back(HandedCase("one-dimensional curve: -5", bond, Handed::kOneDimensional, -5));
  cases.push_back(HandedCase("three-dimensional curve: -5", bond, Handed::kThreeDimensional, -5));
  cases.push_back(HandedCase("second dimension declared 1 To 2: -2", bond, Handed::kColumnsFrom1, -2));
  cases.push_back(HandedCase("integer elements are refused before reading: -2", bond, Handed::kIntegers, -2));
  cases.push_back(HandedCase("empty curve array is accepted", bond, Handed::kEmpty, 0, 112.0, 1e-12));
  cases.push_back(HandedCase("null result pointer: -9", bond, Handed::kNullResult, -9));
  cases.push_back({"rows in any order give the same curve",
                   [](const Api& api, std::vector<double>& v) {
                     Array sorted({{36526, 0.045}, {37000, 0.055}, {38000, 0.06}});
                     Array shuffled({{38000, 0.06}, {36526, 0.045}, {37000, 0.055}}, 1, 0);
                     double a = 0, b = 0;
                     const std::int32_t s1 = api.HW_BondPrice(36526, 2.5, 0.06, 100, 2, sorted.get(), &a);
                     const std::int32_t s2 = api.HW_BondPrice(36526, 2.5, 0.06, 100, 2, shuffled.get(), &b);
                     v.push_back(a - b);
                     return s1 != 0 ? s1 : s2;
                   },
                   0, {0.0}, 0.0});
}

const bool registered = RegisterCases(AddBondCases);

}  // namespace
}  // namespace acceptance
