// Coupon bond on the zero curve.
#include "boundary/curve_reader.h"
#include "boundary/dates.h"
#include "boundary/export_guard.h"
#include "lorvex/lorvex.h"
#include "market/bond_schedule.h"
#include "market/zero_curve.h"

using namespace lorvex;

extern "C" LORVEX_API int32_t LORVEX_CALL HW_BondPrice(int32_t valuationSerial,
                                                       double yearsToMaturity, double couponRate,
                                                       double face, int32_t couponsPerYear,
                                                       SAFEARRAY** curveArray, double* cleanPrice) {
  return RunRateExport(cleanPrice, [&]() -> int32_t {
    ZeroCurve curve;
    const int status = ReadCurveArray(curveArray, curve, true);
    if (status != LORVEX_OK) return status;
    int valuation = 0;
    int start = 0;
    int maturity = 0;
    if (!AllFinite({yearsToMaturity, couponRate, face}) || !ValuationJdn(valuationSerial, &valuation) ||
        !BondDates(valuation, yearsToMaturity, &start, &maturity)) {
      return LORVEX_BAD_ARGUMENT;
    }
    // A rejected frequency leaves an empty bond, which prices to 0.
    BondSchedule bond(face, couponRate, start, maturity, couponsPerYear);
    *cleanPrice = bond.ForwardPrice(valuation, valuation, curve) - bond.AccruedInterest(valuation);
    return LORVEX_OK;
  });
}
