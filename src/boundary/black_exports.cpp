// Bond options, swaptions and caps/floors under Black's model.
#include <cmath>

#include "black/black_bond_option.h"
#include "black/black_cap.h"
#include "black/black_swaption.h"
#include "boundary/curve_reader.h"
#include "boundary/dates.h"
#include "boundary/export_guard.h"
#include "lorvex/lorvex.h"
#include "market/bond_schedule.h"
#include "market/cap_schedule.h"
#include "market/swap_schedule.h"
#include "market/zero_curve.h"

using namespace lorvex;

extern "C" LORVEX_API int32_t LORVEX_CALL HW_BlackBondOption(
    int32_t valuationSerial, double bondYears, double couponRate, double face, int32_t couponsPerYear,
    double optionYears, double strike, double yieldVolatility, int32_t callFlag, int32_t cleanStrikeFlag,
    SAFEARRAY** curveArray, double* result) {
  return RunRateExport(result, [&]() -> int32_t {
    ZeroCurve curve;
    const int status = ReadCurveArray(curveArray, curve, true);
    if (status != LORVEX_OK) return status;
    int valuation = 0;
    int start = 0;
    int maturity = 0;
    int expiry = 0;
    if (!AllFinite({bondYears, couponRate, face, optionYears, strike, yieldVolatility}) ||
        !ValuationJdn(valuationSerial, &valuation) || !BondDates(valuation, bondYears, &start, &maturity) ||
        !DateAfterYears(valuation, optionYears, &expiry)) {
      return LORVEX_BAD_ARGUMENT;
    }
    // A rejected frequency leaves an empty bond, which prices to 0.
    BondSchedule bond(face, couponRate, start, maturity, couponsPerYear);
    // A clean strike excludes the interest accrued at expiry, which the
    // buyer of the bond pays on top.
    const double dirtyStrike = cleanStrikeFlag == 1 ? strike + bond.AccruedInterest(expiry) : strike;
    return WriteFiniteResult(BlackBondOption(valuation, expiry, dirtyStrike, yieldVolatility, callFlag != 1, curve, bond),
                   result);
  });
}

extern "C" LORVEX_API int32_t LORVEX_CALL HW_BlackSwapOption(int32_t valuationSerial, double expiryYears,
                                                             double swapEndYears, double fixedRate,
                                                             double notional, int32_t paymentsPerYear,
                                                             double volatility, int32_t receiverFlag,
                                                             SAFEARRAY** curveArray, double* result) {
  return RunRateExport(result, [&]() -> int32_t {
    ZeroCurve curve;
    const int status = ReadCurveArray(curveArray, curve, true);
    if (status != LORVEX_OK) return status;
    int valuation = 0;
    int expiry = 0;
    int end = 0;
    if (!AllFinite({expiryYears, swapEndYears, fixedRate, notional, volatility}) ||
        !ValuationJdn(valuationSerial, &valuation) || !DateAfterYears(valuation, expiryYears, &expiry) ||
        !DateAfterYears(valuation, swapEndYears, &end)) {
      return LORVEX_BAD_ARGUMENT;
    }
    const SwapSchedule swap(notional, fixedRate, 0.0, expiry, end, paymentsPerYear, paymentsPerYear);
    if (swap.status() != 0) return LORVEX_SWAP_SCHEDULE;
    return WriteFiniteResult(BlackSwaption(valuation, expiry, volatility, receiverFlag != 1, curve, swap), result);
  });
}

extern "C" LORVEX_API int32_t LORVEX_CALL HW_BlackCap(int32_t valuationSerial, double startYears,
                                                      double endYears, double capRate, double notional,
                                                      int32_t paymentsPerYear, double volatility,
                                                      int32_t capFlag, SAFEARRAY** curveArray,
                                                      double* result) {
  return RunRateExport(result, [&]() -> int32_t {
    ZeroCurve curve;
    const int status = ReadCurveArray(curveArray, curve, true);
    if (status != LORVEX_OK) return status;
    int valuation = 0;
    int start = 0;
    int end = 0;
    if (!AllFinite({startYears, endYears, capRate, notional, volatility}) ||
        !ValuationJdn(valuationSerial, &valuation) || !DateAfterYears(valuation, startYears, &start) ||
        !DateAfterYears(valuation, endYears, &end)) {
      return LORVEX_BAD_ARGUMENT;
    }
    // The volatility travels with every caplet as its third value.
    const CapSchedule cap(notional, capRate, start, end, paymentsPerYear, volatility);
    if (cap.status() != 0) return LORVEX_CAP_SCHEDULE;
    return WriteFiniteResult(BlackCapFloor(valuation, volatility, capFlag != 1, curve, cap), result);
  });
}
