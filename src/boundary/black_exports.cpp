// Bond options, swaptions and caps/floors under Black's model.
#include "boundary/export_guard.h"

using namespace lorvex;

extern "C" LORVEX_API int32_t LORVEX_CALL HW_BlackBondOption(
    int32_t valuationSerial, double bondYears, double couponRate, double face, int32_t couponsPerYear,
    double optionYears, double strike, double yieldVolatility, int32_t callFlag, int32_t cleanStrikeFlag,
    SAFEARRAY** curveArray, double* result) {
  return PriceOnCurveArray(curveArray, result, [&](const ZeroCurve& curve) {
    return api::black_bond_option({.valuation = valuationSerial,
                                   .maturity = bondYears,
                                   .coupon = couponRate,
                                   .face = face,
                                   .frequency = couponsPerYear,
                                   .expiry = optionYears,
                                   .strike = strike,
                                   .volatility = yieldVolatility,
                                   .option = OptionTypeFromFlag(callFlag),
                                   .strike_quote = StrikeQuoteFromFlag(cleanStrikeFlag)},
                                  curve);
  });
}

extern "C" LORVEX_API int32_t LORVEX_CALL HW_BlackSwapOption(int32_t valuationSerial, double expiryYears,
                                                             double swapEndYears, double fixedRate,
                                                             double notional, int32_t paymentsPerYear,
                                                             double volatility, int32_t receiverFlag,
                                                             SAFEARRAY** curveArray, double* result) {
  return PriceOnCurveArray(curveArray, result, [&](const ZeroCurve& curve) {
    return api::black_swaption({.valuation = valuationSerial,
                                .expiry = expiryYears,
                                .maturity = swapEndYears,
                                .fixed_rate = fixedRate,
                                .notional = notional,
                                .frequency = paymentsPerYear,
                                .volatility = volatility,
                                .option = SwaptionTypeFromFlag(receiverFlag)},
                               curve);
  });
}

extern "C" LORVEX_API int32_t LORVEX_CALL HW_BlackCap(int32_t valuationSerial, double startYears,
                                                      double endYears, double capRate, double notional,
                                                      int32_t paymentsPerYear, double volatility,
                                                      int32_t capFlag, SAFEARRAY** curveArray,
                                                      double* result) {
  return PriceOnCurveArray(curveArray, result, [&](const ZeroCurve& curve) {
    return api::black_cap({.valuation = valuationSerial,
                           .start = startYears,
                           .maturity = endYears,
                           .cap_rate = capRate,
                           .notional = notional,
                           .frequency = paymentsPerYear,
                           .volatility = volatility,
                           .option = CapTypeFromFlag(capFlag)},
                          curve);
  });
}
