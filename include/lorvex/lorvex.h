/* Lorvex: interest-rate and equity derivative pricing.
 *
 * Every export is a stateless calculation. Dates are spreadsheet serial day
 * numbers (1 January 2000 is 36526), times are in years from the valuation
 * date (365 days a year, rounded to whole days, halves up), and zero rates
 * are continuously compounded on actual/365. Results are written through the
 * double pointers; the return value is a status (LORVEX_OK or a negative
 * code below). The interest-rate exports set their result to 0 before
 * anything can fail.
 *
 * On 32-bit Windows the exports are __stdcall with fixed argument sizes, as
 * spreadsheet macros declare them; elsewhere they are plain C calls.
 */
#ifndef LORVEX_LORVEX_H
#define LORVEX_LORVEX_H

#include <stdint.h>

#if defined(_WIN32)
#define LORVEX_CALL __stdcall
#define LORVEX_API
#else
#define LORVEX_CALL
#define LORVEX_API __attribute__((visibility("default")))
#endif

#include "lorvex/safearray.h"

#ifdef __cplusplus
extern "C" {
#endif

/* Status codes. Several codes have one meaning per family of exports. */
#define LORVEX_OK 0
#define LORVEX_CURVE_BOUNDS (-1)       /* bounds of the curve's rows unreadable */
#define LORVEX_TREE_BUILD (-1)         /* the Hull-White tree could not be built */
#define LORVEX_CURVE_ELEMENT (-2)      /* an element of the curve array unreadable */
#define LORVEX_SWAP_SCHEDULE (-2)      /* the swap schedule was rejected */
#define LORVEX_CAP_SCHEDULE (-3)       /* the cap schedule was rejected */
#define LORVEX_CURVE_ABSENT (-4)       /* the curve array reference holds no array */
#define LORVEX_CURVE_DIMENSIONS (-5)   /* the curve array is not two-dimensional */
#define LORVEX_BAD_ARGUMENT (-9)       /* an argument is outside what the calculation accepts */

/* ---- Coupon bond ------------------------------------------------------ */

/* Clean price of a coupon bond on the zero curve, in units of the face. */
LORVEX_API int32_t LORVEX_CALL HW_BondPrice(int32_t valuationSerial, double yearsToMaturity,
                                            double couponRate, double face,
                                            int32_t couponsPerYear, SAFEARRAY** curve,
                                            double* cleanPrice);

/* ---- Black model ------------------------------------------------------ */

/* ---- Hull-White closed form ------------------------------------------- */

/* ---- Hull-White trinomial tree ---------------------------------------- */

/* Option on a coupon bond on a Hull-White trinomial tree fitted to the zero
 * curve. The bond is as in HW_BondPrice; the option expires expiryYears
 * after the valuation date, European (exercise on that date only) or
 * American (any level date from the valuation date to the expiry), on the
 * bond's dirty value of the flows after the exercise date, or its clean
 * value when cleanStrikeFlag is 1. sigma is the absolute volatility of the
 * short rate per square-root year (0 or below is priced with 1e-6),
 * meanReversion the speed a per year. stepCount equal steps run to the
 * expiry; kind 0 normal (Hull-White), 1 lognormal, 2 the shape g(r) = r.
 * Status -1: the tree cannot be built (stepCount below 1, an expiry not
 * after the valuation date, a*dt >= 1 on a step, a fit that does not
 * converge, or a tree beyond the 2 GiB memory budget). */
LORVEX_API int32_t LORVEX_CALL HW_TreeBondOption(int32_t valuationSerial, double yearsToMaturity,
                                                 double couponRate, double face,
                                                 int32_t couponsPerYear, double expiryYears,
                                                 double strike, int32_t callFlag,
                                                 int32_t americanFlag, int32_t cleanStrikeFlag,
                                                 SAFEARRAY** curve, double sigma,
                                                 double meanReversion, int32_t stepCount,
                                                 int32_t kind, double* optionValue);

/* ---- Equity binomial tree --------------------------------------------- */

/* ---- Closed-form exotic options --------------------------------------- */

#ifdef __cplusplus
}
#endif

#endif /* LORVEX_LORVEX_H */
