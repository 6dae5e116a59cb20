// Options on a coupon bond on the Hull-White trinomial tree.
#include "boundary/export_guard.h"

using namespace lorvex;

extern "C" LORVEX_API int32_t LORVEX_CALL HW_TreeBondOption(
    int32_t valuationSerial, double yearsToMaturity, double couponRate, double face,
    int32_t couponsPerYear, double yearsToExpiry, double strike, int32_t callFlag,
    int32_t americanFlag, int32_t cleanStrikeFlag, SAFEARRAY** curveArray, double sigma,
    double meanReversion, int32_t stepCount, int32_t kind, double* optionValue) {
  return PriceOnCurveArray(curveArray, optionValue, [&](const ZeroCurve& curve) {
    return api::tree_bond_option({.valuation = valuationSerial,
                                  .maturity = yearsToMaturity,
                                  .coupon = couponRate,
                                  .face = face,
                                  .frequency = couponsPerYear,
                                  .expiry = yearsToExpiry,
                                  .strike = strike,
                                  .option = CallFlag(callFlag),
                                  .exercise = AmericanFlag(americanFlag),
                                  .strike_quote = CleanFlag(cleanStrikeFlag),
                                  .volatility = sigma,
                                  .mean_reversion = meanReversion,
                                  .steps = stepCount},
                                 kind, curve);
  });
}
