// Bond options, swaptions, caps and floors under the Hull-White model in
// closed form.
#include "boundary/export_guard.h"

using namespace lorvex;

extern "C" LORVEX_API int32_t LORVEX_CALL HW_HullWhiteBondOption(
    int32_t valuationSerial, double yearsToMaturity, double couponRate, double face,
    int32_t couponsPerYear, double yearsToExpiry, double strike, double sigma, double meanReversion,
    int32_t callFlag, int32_t cleanStrikeFlag, SAFEARRAY** curveArray, double* value) {
  return PriceOnCurveArray(curveArray, value, [&](const ZeroCurve& curve) {
    return api::hw_bond_option({.valuation = valuationSerial,
                                .maturity = yearsToMaturity,
                                .coupon = couponRate,
                                .face = face,
                                .frequency = couponsPerYear,
                                .expiry = yearsToExpiry,
                                .strike = strike,
                                .volatility = sigma,
                                .mean_reversion = meanReversion,
                                .option = OptionTypeFromFlag(callFlag),
                                .strike_quote = StrikeQuoteFromFlag(cleanStrikeFlag)},
                               curve);
  });
}

extern "C" LORVEX_API int32_t LORVEX_CALL HW_HullWhiteSwapOption(
    int32_t valuationSerial, double yearsToExpiry, double yearsToSwapEnd, double fixedRate,
    double notional, int32_t fixedPerYear, double sigma, double meanReversion, int32_t receiverFlag,
    SAFEARRAY** curveArray, double* value) {
  return PriceOnCurveArray(curveArray, value, [&](const ZeroCurve& curve) {
    return api::hw_swaption({.valuation = valuationSerial,
                             .expiry = yearsToExpiry,
                             .maturity = yearsToSwapEnd,
                             .fixed_rate = fixedRate,
                             .notional = notional,
                             .frequency = fixedPerYear,
                             .volatility = sigma,
                             .mean_reversion = meanReversion,
                             .option = SwaptionTypeFromFlag(receiverFlag)},
                            curve);
  });
}

extern "C" LORVEX_API int32_t LORVEX_CALL HW_HullWhiteCap(int32_t valuationSerial, double yearsToStart,
                                                        double yearsToEnd, double capRate,
                                                        double notional, int32_t paymentsPerYear,
                                                        double sigma, double meanReversion,
                                                        int32_t capFlag, SAFEARRAY** curveArray,
                                                        double* value) {
  return PriceOnCurveArray(curveArray, value, [&](const ZeroCurve& curve) {
    return api::hw_cap({.valuation = valuationSerial,
                        .start = yearsToStart,
                        .maturity = yearsToEnd,
                        .cap_rate = capRate,
                        .notional = notional,
                        .frequency = paymentsPerYear,
                        .volatility = sigma,
                        .mean_reversion = meanReversion,
                        .option = CapTypeFromFlag(capFlag)},
                       curve);
  });
}
