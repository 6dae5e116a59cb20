// Bond options, swaptions, caps and floors under the Hull-White model in
// closed form.
#include "boundary/export_guard.h"
#include "boundary/rate_terms.h"

using namespace lorvex;

extern "C" LORVEX_API int32_t LORVEX_CALL HW_HullWhiteBondOption(
    int32_t valuationSerial, double yearsToMaturity, double couponRate, double face,
    int32_t couponsPerYear, double yearsToExpiry, double strike, double sigma, double meanReversion,
    int32_t callFlag, int32_t cleanStrikeFlag, SAFEARRAY** curveArray, double* value) {
  return PriceOnCurveArray(curveArray, value, [&](const ZeroCurve& curve) {
    auto args = BondOptionTerms<HwBondOptionArgs>(valuationSerial, yearsToMaturity, couponRate, face,
                                                  couponsPerYear, yearsToExpiry, strike, callFlag, cleanStrikeFlag);
    args.volatility = sigma;
    args.mean_reversion = meanReversion;
    return api::hw_bond_option(args, curve);
  });
}

extern "C" LORVEX_API int32_t LORVEX_CALL HW_HullWhiteSwapOption(
    int32_t valuationSerial, double yearsToExpiry, double yearsToSwapEnd, double fixedRate,
    double notional, int32_t fixedPerYear, double sigma, double meanReversion, int32_t receiverFlag,
    SAFEARRAY** curveArray, double* value) {
  return PriceOnCurveArray(curveArray, value, [&](const ZeroCurve& curve) {
    auto args = SwaptionTerms<HwSwaptionArgs>(valuationSerial, yearsToExpiry, yearsToSwapEnd, fixedRate, notional,
                                              fixedPerYear, receiverFlag);
    args.volatility = sigma;
    args.mean_reversion = meanReversion;
    return api::hw_swaption(args, curve);
  });
}

extern "C" LORVEX_API int32_t LORVEX_CALL HW_HullWhiteCap(int32_t valuationSerial, double yearsToStart,
                                                        double yearsToEnd, double capRate,
                                                        double notional, int32_t paymentsPerYear,
                                                        double sigma, double meanReversion,
                                                        int32_t capFlag, SAFEARRAY** curveArray,
                                                        double* value) {
  return PriceOnCurveArray(curveArray, value, [&](const ZeroCurve& curve) {
    auto args = CapTerms<HwCapArgs>(valuationSerial, yearsToStart, yearsToEnd, capRate, notional, paymentsPerYear,
                                    CapTypeFromFlag(capFlag));
    args.volatility = sigma;
    args.mean_reversion = meanReversion;
    return api::hw_cap(args, curve);
  });
}
