// An outside program built against an installed Lorvex: one bond priced
// through lorvex.hpp and through lorvex.h must agree to the last bit, and a
// refusal must name its argument.
#include <cstdio>

#include "lorvex/lorvex.h"
#include "lorvex/lorvex.hpp"

int main() {
  const lorvex::Curve curve({36526, 38353}, {0.045, 0.055});
  const double api = lorvex::bond_price({.valuation = 36526, .maturity = 2, .coupon = 0.06, .face = 100, .frequency = 2},
                                        curve);

  SAFEARRAYBOUND bounds[2] = {{2, 0}, {2, 0}};
  SAFEARRAY* array = SafeArrayCreate(VT_R8, 2, bounds);
  const double rows[2][2] = {{36526, 0.045}, {38353, 0.055}};
  for (LONG i = 0; i < 2; ++i) {
    for (LONG j = 0; j < 2; ++j) {
      LONG index[2] = {i, j};
      double cell = rows[i][j];
      SafeArrayPutElement(array, index, &cell);
    }
  }
  double c = 0.0;
  const int32_t status = HW_BondPrice(36526, 2.0, 0.06, 100.0, 2, &array, &c);
  SafeArrayDestroy(array);

  std::string argument;
  try {
    lorvex::bond_price({.valuation = 36526, .maturity = 1e9, .coupon = 0.06}, curve);
  } catch (const lorvex::Error& e) {
    argument = e.argument();
  }
  std::printf("lorvex.hpp %.7f, lorvex.h %.7f (status %d), refused: %s\n", api, c, status, argument.c_str());
  return status == 0 && api == c && api > 101.0 && argument == "maturity" ? 0 : 1;
}
