// Coupon bond on the zero curve.
#include "boundary/export_guard.h"

using namespace lorvex;

extern "C" LORVEX_API int32_t LORVEX_CALL HW_BondPrice(int32_t valuationSerial,
                                                       double yearsToMaturity, double couponRate,
                                                       double face, int32_t couponsPerYear,
                                                       SAFEARRAY** curveArray, double* cleanPrice) {
  return PriceOnCurveArray(curveArray, cleanPrice, [&](const ZeroCurve& curve) {
    return api::bond_price({.valuation = valuationSerial,
                            .maturity = yearsToMaturity,
                            .coupon = couponRate,
                            .face = face,
                            .frequency = couponsPerYear},
                           curve);
  });
}
