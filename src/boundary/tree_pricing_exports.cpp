// Swaptions, caps and floors on the Hull-White trinomial tree, and the
// short-rate spacing of the trees the bond option and the cap build.
#include "boundary/export_guard.h"
#include "boundary/rate_terms.h"

using namespace lorvex;

extern "C" LORVEX_API int32_t LORVEX_CALL HW_TreeSwapOption(
    int32_t valuationSerial, double yearsToEnd, double yearsToStart, double fixedRate, double notional,
    int32_t paymentsPerYear, int32_t receiverFlag, SAFEARRAY** curveArray, double sigma,
    double meanReversion, int32_t stepCount, int32_t kind, double* value) {
  return PriceOnCurveArray(curveArray, value, [&](const ZeroCurve& curve) {
    auto args = SwaptionTerms<TreeSwaptionArgs>(valuationSerial, yearsToStart, yearsToEnd, fixedRate, notional,
                                                paymentsPerYear, receiverFlag);
    args.volatility = sigma;
    args.mean_reversion = meanReversion;
    args.steps_per_year = stepCount;
    return api::tree_swaption(args, kind, curve);
  });
}

extern "C" LORVEX_API int32_t LORVEX_CALL HW_TreeCap(int32_t valuationSerial, double yearsToEnd,
                                                   double yearsToStart, double capRate, double notional,
                                                   int32_t paymentsPerYear, int32_t capFlag,
                                                   SAFEARRAY** curveArray, double sigma,
                                                   double meanReversion, int32_t stepParameter,
                                                   int32_t kind, double* value) {
  return PriceOnCurveArray(curveArray, value, [&](const ZeroCurve& curve) {
    // Here 0 is the floor and any other flag the cap.
    auto args = CapTerms<TreeCapArgs>(valuationSerial, yearsToStart, yearsToEnd, capRate, notional, paymentsPerYear,
                                      capFlag == 0 ? CapType::Floor : CapType::Cap);
    args.volatility = sigma;
    args.mean_reversion = meanReversion;
    args.step_parameter = stepParameter;
    return api::tree_cap(args, kind, curve);
  });
}

extern "C" LORVEX_API int32_t LORVEX_CALL HW_BondTreeRateDelta(int32_t valuationSerial,
                                                             double yearsToMaturity, double yearsToExpiry,
                                                             SAFEARRAY** curveArray, double sigma,
                                                             double meanReversion, int32_t stepCount,
                                                             int32_t kind, double* rateDelta) {
  return PriceOnCurveArray(curveArray, rateDelta, [&](const ZeroCurve& curve) {
    return api::bond_tree_rate_delta({.valuation = valuationSerial,
                                      .maturity = yearsToMaturity,
                                      .expiry = yearsToExpiry,
                                      .volatility = sigma,
                                      .mean_reversion = meanReversion,
                                      .steps = stepCount},
                                     kind, curve);
  });
}

extern "C" LORVEX_API int32_t LORVEX_CALL HW_CapTreeRateDelta(int32_t valuationSerial, double yearsToStart,
                                                            double yearsToEnd, int32_t paymentsPerYear,
                                                            SAFEARRAY** curveArray, double sigma,
                                                            double meanReversion, int32_t stepParameter,
                                                            int32_t kind, double* rateDelta) {
  return PriceOnCurveArray(curveArray, rateDelta, [&](const ZeroCurve& curve) {
    return api::cap_tree_rate_delta({.valuation = valuationSerial,
                                     .start = yearsToStart,
                                     .maturity = yearsToEnd,
                                     .frequency = paymentsPerYear,
                                     .volatility = sigma,
                                     .mean_reversion = meanReversion,
                                     .step_parameter = stepParameter},
                                    kind, curve);
  });
}
