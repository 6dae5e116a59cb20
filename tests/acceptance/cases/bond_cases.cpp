// HW_BondPrice and every status of the curve reader, through real arrays.
#include <cmath>
#include <limits>

#include "acceptance.h"

namespace acceptance {
namespace {

std::int32_t Bond(const Api& api, std::vector<double>& values, SAFEARRAY** curve, double years,
                  double coupon, int frequency, std::int32_t serial = 36526) {
  double price = -1.0;
  const std::int32_t status = api.HW_BondPrice(serial, years, coupon, 100.0, frequency, curve, &price);
  values.push_back(price);
  return status;
}

Case BondOnCurve(std::string name, std::vector<std::vector<double>> rows, double years, double coupon,
                 int frequency, std::int32_t status, std::vector<double> expected, double tol) {
  return {std::move(name),
          [=](const Api& api, std::vector<double>& values) {
            Array curve(rows);
            return Bond(api, values, curve.get(), years, coupon, frequency);
          },
          status, std::move(expected), tol};
}

void AddBondCases(std::vector<Case>& cases) {
  const auto flat5 = FlatCurve(36526, 0.05);
  // Worked prices, to seven decimals.
  cases.push_back(BondOnCurve("bond 2y 6% semi-annual", flat5, 2.0, 0.06, 2, 0, {101.7622758}, 5e-8));
  cases.push_back(BondOnCurve("bond 2.5y 6% semi-annual", flat5, 2.5, 0.06, 2, 0, {102.1822931}, 5e-8));
  cases.push_back(BondOnCurve("bond 1.3y 8% quarterly", flat5, 1.3, 0.08, 4, 0, {103.7165207}, 5e-8));
  cases.push_back(BondOnCurve("bond with 3 coupons a year prices to 0", flat5, 2.0, 0.06, 3, 0, {0.0}, 0.0));

  // Curve reader statuses; the result is 0 on every failure.
  cases.push_back({"curve reference holding no array: -4",
                   [](const Api& api, std::vector<double>& v) {
                     SAFEARRAY* none = nullptr;
                     return Bond(api, v, &none, 2.0, 0.06, 2);
                   },
                   -4, {0.0}, 0.0});
  cases.push_back({"one-dimensional curve: -5",
                   [](const Api& api, std::vector<double>& v) {
                     Array a(VT_R8, {{4, 0}});
                     return Bond(api, v, a.get(), 2.0, 0.06, 2);
                   },
                   -5, {0.0}, 0.0});
  cases.push_back({"three-dimensional curve: -5",
                   [](const Api& api, std::vector<double>& v) {
                     Array a(VT_R8, {{2, 0}, {2, 0}, {2, 0}});
                     return Bond(api, v, a.get(), 2.0, 0.06, 2);
                   },
                   -5, {0.0}, 0.0});
  cases.push_back({"second dimension declared 1 To 2: -2",
                   [](const Api& api, std::vector<double>& v) {
                     Array a({{36526, 0.05}}, 0, 1);
                     return Bond(api, v, a.get(), 2.0, 0.06, 2);
                   },
                   -2, {0.0}, 0.0});
  cases.push_back({"integer elements are refused before reading: -2",
                   [](const Api& api, std::vector<double>& v) {
                     Array a(VT_I4, {{3, 0}, {2, 0}});
                     return Bond(api, v, a.get(), 2.0, 0.06, 2);
                   },
                   -2, {0.0}, 0.0});
  // An empty curve reads 0 everywhere: the bond's flows undiscounted, less
  // the accrued interest (0 on this accrual start).
  cases.push_back({"empty curve array is accepted",
                   [](const Api& api, std::vector<double>& v) {
                     Array a(VT_R8, {{0, 0}, {2, 0}});
                     return Bond(api, v, a.get(), 2.0, 0.06, 2);
                   },
                   0, {112.0}, 1e-12});
  cases.push_back(BondOnCurve("repeated date keeps the first row", {{36526, 0.05}, {36526, 0.09}}, 2.0,
                              0.06, 2, 0, {101.7622758}, 5e-8));
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

  // Guarded bad input.
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  cases.push_back(BondOnCurve("NaN maturity: -9", flat5, nan, 0.06, 2, -9, {0.0}, 0.0));
  cases.push_back(BondOnCurve("infinite coupon: -9", flat5, 2.0, inf, 2, -9, {0.0}, 0.0));
  cases.push_back(BondOnCurve("maturity past year 9999: -9", flat5, 9000.0, 0.06, 2, -9, {0.0}, 0.0));
  cases.push_back(BondOnCurve("NaN rate in the curve: -9", {{36526, nan}}, 2.0, 0.06, 2, -9, {0.0}, 0.0));
  cases.push_back({"valuation serial before year 1: -9",
                   [](const Api& api, std::vector<double>& v) {
                     Array a({{36526, 0.05}});
                     return Bond(api, v, a.get(), 2.0, 0.06, 2, -800000);
                   },
                   -9, {0.0}, 0.0});
  cases.push_back({"null result pointer: -9",
                   [](const Api& api, std::vector<double>&) {
                     Array a({{36526, 0.05}});
                     return api.HW_BondPrice(36526, 2.0, 0.06, 100, 2, a.get(), nullptr);
                   },
                   -9, {}, 0.0});
}

const bool registered = RegisterCases(AddBondCases);

}  // namespace
}  // namespace acceptance
