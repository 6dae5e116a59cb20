// Bond options, swaptions and caps/floors under Black's model.
#include "boundary/export_guard.h"
#include "boundary/rate_terms.h"

using namespace lorvex;

extern "C" LORVEX_API int32_t LORVEX_CALL HW_BlackBondOption(
    int32_t valuationSerial, double bondYears, double couponRate, double face, int32_t couponsPerYear,
    double optionYears, double strike, double yieldVolatility, int32_t callFlag, int32_t cleanStrikeFlag,
    SAFEARRAY** curveArray, double* result) {
  return PriceOnCurveArray(curveArray, result, [&](const ZeroCurve& curve) {
    auto args = BondOptionTerms<BlackBondOptionArgs>(valuationSerial, bondYears, couponRate, face, couponsPerYear,
                                                     optionYears, strike, callFlag, cleanStrikeFlag);
    args.volatility = yieldVolatility;
    return api::black_bond_option(args, curve);
  });
}

extern "C" LORVEX_API int32_t LORVEX_CALL HW_BlackSwapOption(int32_t valuationSerial, double expiryYears,
                                                             double swapEndYears, double fixedRate,
                                                             double notional, int32_t paymentsPerYear,
                                                             double volatility, int32_t receiverFlag,
                                                             SAFEARRAY** curveArray, double* result) {
  return PriceOnCurveArray(curveArray, result, [&](const ZeroCurve& curve) {
    auto args = SwaptionTerms<BlackSwaptionArgs>(valuationSerial, expiryYears, swapEndYears, fixedRate, notional,
                                                 paymentsPerYear, receiverFlag);
    args.volatility = volatility;
    return api::black_swaption(args, curve);
  });
}

extern "C" LORVEX_API int32_t LORVEX_CALL HW_BlackCap(int32_t valuationSerial, double startYears,
                                                      double endYears, double capRate, double notional,
                                                      int32_t paymentsPerYear, double volatility,
                                                      int32_t capFlag, SAFEARRAY** curveArray,
                                                      double* result) {
  return PriceOnCurveArray(curveArray, result, [&](const ZeroCurve& curve) {
    auto args = CapTerms<BlackCapArgs>(valuationSerial, startYears, endYears, capRate, notional, paymentsPerYear,
                                       CapTypeFromFlag(capFlag));
    args.volatility = volatility;
    return api::black_cap(args, curve);
  });
}
