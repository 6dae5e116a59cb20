// Bond options, swaptions, caps and floors under the Hull-White model in
// closed form.
#include <cmath>

#include "boundary/curve_reader.h"
#include "boundary/dates.h"
#include "boundary/export_guard.h"
#include "hullwhite/cap.h"
#include "hullwhite/coupon_bond_option.h"
#include "lorvex/lorvex.h"
#include "market/bond_schedule.h"
#include "market/cap_schedule.h"
#include "market/zero_curve.h"

using namespace lorvex;

namespace {

// The option on the bond's flows after expiry, shared by the bond option and
// the swaption once the bond is built and the dirty strike known.
std::int32_t PriceBondOption(int valuation, int expiry, double dirtyStrike, bool isCall,
                             const ZeroCurve& curve, double sigma, double a,
                             const BondSchedule& bond, double* result) {
  const CouponBondOptionResult option = HullWhiteCouponBondOption(
      valuation, expiry, dirtyStrike, isCall ? 0 : 1, curve, sigma, a, bond);
  if (option.status != LORVEX_OK) return LORVEX_BAD_ARGUMENT;
  return WriteFiniteResult(option.value, result);
}

}  // namespace

extern "C" LORVEX_API int32_t LORVEX_CALL HW_HullWhiteBondOption(
    int32_t valuationSerial, double yearsToMaturity, double couponRate, double face,
    int32_t couponsPerYear, double yearsToExpiry, double strike, double sigma, double meanReversion,
    int32_t callFlag, int32_t cleanStrikeFlag, SAFEARRAY** curveArray, double* value) {
  return RunRateExport(value, [&]() -> int32_t {
    ZeroCurve curve;
    const int status = ReadCurveArray(curveArray, curve, true);
    if (status != LORVEX_OK) return status;
    int valuation = 0;
    int start = 0;
    int maturity = 0;
    int expiry = 0;
    if (!AllFinite({yearsToMaturity, couponRate, face, yearsToExpiry, strike, sigma, meanReversion}) ||
        !ValuationJdn(valuationSerial, &valuation) ||
        !BondDates(valuation, yearsToMaturity, &start, &maturity) ||
        !DateAfterYears(valuation, yearsToExpiry, &expiry)) {
      return LORVEX_BAD_ARGUMENT;
    }
    // A rejected frequency leaves an empty bond: an option on nothing, 0.
    BondSchedule bond(face, couponRate, start, maturity, couponsPerYear);
    double dirtyStrike = strike;
    if (cleanStrikeFlag == 1) dirtyStrike += bond.AccruedInterest(expiry);
    return PriceBondOption(valuation, expiry, dirtyStrike, callFlag == 1, curve, sigma,
                           meanReversion, bond, value);
  });
}

extern "C" LORVEX_API int32_t LORVEX_CALL HW_HullWhiteSwapOption(
    int32_t valuationSerial, double yearsToExpiry, double yearsToSwapEnd, double fixedRate,
    double notional, int32_t fixedPerYear, double sigma, double meanReversion, int32_t receiverFlag,
    SAFEARRAY** curveArray, double* value) {
  return RunRateExport(value, [&]() -> int32_t {
    ZeroCurve curve;
    const int status = ReadCurveArray(curveArray, curve, true);
    if (status != LORVEX_OK) return status;
    int valuation = 0;
    int start = 0;
    int maturity = 0;
    int expiry = 0;
    if (!AllFinite({yearsToExpiry, yearsToSwapEnd, fixedRate, notional, sigma, meanReversion}) ||
        !ValuationJdn(valuationSerial, &valuation) ||
        !BondDates(valuation, yearsToSwapEnd, &start, &maturity) ||
        !DateAfterYears(valuation, yearsToExpiry, &expiry)) {
      return LORVEX_BAD_ARGUMENT;
    }
    // The fixed leg with the notional repaid at the end is a coupon bond;
    // entering the swap at expiry is worth that bond against par, so the
    // right to receive fixed is a call on the bond struck at par plus the
    // coupon accrued at expiry, and the right to pay fixed is the put.
    BondSchedule fixedLeg(notional, fixedRate, start, maturity, fixedPerYear);
    const double dirtyStrike = notional + fixedLeg.AccruedInterest(expiry);
    return PriceBondOption(valuation, expiry, dirtyStrike, receiverFlag == 1, curve, sigma,
                           meanReversion, fixedLeg, value);
  });
}

extern "C" LORVEX_API int32_t LORVEX_CALL HW_HullWhiteCap(int32_t valuationSerial, double yearsToStart,
                                                        double yearsToEnd, double capRate,
                                                        double notional, int32_t paymentsPerYear,
                                                        double sigma, double meanReversion,
                                                        int32_t capFlag, SAFEARRAY** curveArray,
                                                        double* value) {
  return RunRateExport(value, [&]() -> int32_t {
    ZeroCurve curve;
    const int status = ReadCurveArray(curveArray, curve, true);
    if (status != LORVEX_OK) return status;
    int valuation = 0;
    int start = 0;
    int end = 0;
    if (!AllFinite({yearsToStart, yearsToEnd, capRate, notional, sigma, meanReversion}) ||
        !ValuationJdn(valuationSerial, &valuation) ||
        !DateAfterYears(valuation, yearsToStart, &start) ||
        !DateAfterYears(valuation, yearsToEnd, &end)) {
      return LORVEX_BAD_ARGUMENT;
    }
    const CapSchedule cap(notional, capRate, start, end, paymentsPerYear, 0.0);
    if (cap.status() != 0) return LORVEX_CAP_SCHEDULE;
    return WriteFiniteResult(HullWhiteCapValue(valuation, sigma, meanReversion, capFlag == 1 ? 0 : 1, curve, cap),
                      value);
  });
}
