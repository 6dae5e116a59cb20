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

/* European option on a coupon bond. The bond is laid out as for HW_BondPrice
 * (bondYears, couponRate, face, couponsPerYear); the option expires
 * optionYears from the valuation date. The forward dirty price at expiry is
 * lognormal; yieldVolatility is the proportional volatility of the bond's
 * forward yield, turned into a price volatility through the bond's modified
 * duration. callFlag 1 = call, other = put. cleanStrikeFlag 1 = the strike is
 * a clean price (the interest accrued at expiry is added), other = dirty.
 * Result in the face's units; 0 when expiry is today or later than the bond's
 * last flow. */
LORVEX_API int32_t LORVEX_CALL HW_BlackBondOption(int32_t valuationSerial, double bondYears,
                                                  double couponRate, double face,
                                                  int32_t couponsPerYear, double optionYears,
                                                  double strike, double yieldVolatility,
                                                  int32_t callFlag, int32_t cleanStrikeFlag,
                                                  SAFEARRAY** curve, double* optionValue);

/* European swaption on a swap starting at expiry (expiryYears) and ending
 * swapEndYears from the valuation date, both legs paying paymentsPerYear
 * times a year (1, 2, 4 or 12; otherwise LORVEX_SWAP_SCHEDULE). The forward
 * swap rate is lognormal with the given volatility. receiverFlag 1 = receiver
 * (right to receive fixedRate), other = payer. Result in the notional's
 * units. */
LORVEX_API int32_t LORVEX_CALL HW_BlackSwapOption(int32_t valuationSerial, double expiryYears,
                                                  double swapEndYears, double fixedRate,
                                                  double notional, int32_t paymentsPerYear,
                                                  double volatility, int32_t receiverFlag,
                                                  SAFEARRAY** curve, double* optionValue);

/* Cap or floor from startYears to endYears, one caplet per period
 * (paymentsPerYear 1, 2, 4 or 12; otherwise LORVEX_CAP_SCHEDULE), each
 * caplet's simple forward rate lognormal with one flat volatility. Caplets
 * resetting on or before the valuation date are left out. capFlag 1 = cap,
 * other = floor. Result in the notional's units. */
LORVEX_API int32_t LORVEX_CALL HW_BlackCap(int32_t valuationSerial, double startYears,
                                           double endYears, double capRate, double notional,
                                           int32_t paymentsPerYear, double volatility,
                                           int32_t capFlag, SAFEARRAY** curve, double* capValue);

/* ---- Hull-White closed form ------------------------------------------- */

/* The one-factor Hull-White model dr = (theta(t) - a r) dt + sigma dW fitted
 * exactly to the zero curve: sigma is the absolute volatility of the short
 * rate per square-root year (0.01 is 100 basis points), a the mean-reversion
 * speed per year (0 allowed). Options are valued in closed form.
 *
 * A coupon-bond option is split into options on the bond's single flows
 * after expiry (Jamshidian), struck at their model prices at the short rate
 * that prices the bond at the dirty strike; that rate is searched by Newton's
 * method with at most 100 steps, and a search that fails returns -9 with the
 * result 0. An expiry on or before the valuation date, or no bond flow after
 * expiry, gives 0. A dirty strike of 0 or below makes the call worth the
 * flows after expiry and the put 0. A value that would not be a finite
 * number returns -9 with the result 0. */

/* European option on a coupon bond. The bond is laid out as for
 * HW_BondPrice; callFlag 1 = call, otherwise put; cleanStrikeFlag 1 = the
 * strike is clean (the coupon accrued at expiry is added), otherwise dirty. */
LORVEX_API int32_t LORVEX_CALL HW_HullWhiteBondOption(int32_t valuationSerial, double yearsToMaturity,
                                                      double couponRate, double face,
                                                      int32_t couponsPerYear, double yearsToExpiry,
                                                      double strike, double sigma, double meanReversion,
                                                      int32_t callFlag, int32_t cleanStrikeFlag,
                                                      SAFEARRAY** curve, double* value);

/* European swaption into a swap from expiry to yearsToSwapEnd (years from
 * the valuation date), valued as an option on the fixed leg taken as a bond
 * (notional repaid at the end, coupons fixedRate/fixedPerYear x notional on
 * dates laid back from the end as for HW_BondPrice) struck at the notional
 * plus the coupon accrued at expiry. receiverFlag 1 = receive fixed (a call on
 * the bond), otherwise pay fixed (a put). In the notional's units. */
LORVEX_API int32_t LORVEX_CALL HW_HullWhiteSwapOption(int32_t valuationSerial, double yearsToExpiry,
                                                      double yearsToSwapEnd, double fixedRate,
                                                      double notional, int32_t fixedPerYear,
                                                      double sigma, double meanReversion,
                                                      int32_t receiverFlag, SAFEARRAY** curve,
                                                      double* value);

/* Cap (capFlag 1) or floor (any other value) on the simple rate, caplets laid
 * back from the end date every 12/paymentsPerYear months as for HW_BlackCap
 * (payments a year 1, 2, 4 or 12, otherwise LORVEX_CAP_SCHEDULE). Each caplet
 * resetting after the valuation date is valued as (1 + K tau) options on the
 * zero bond from its reset to its payment date struck at 1/(1 + K tau); one
 * already reset is left out. A sigma of 0 or below is priced as 1e-6. A cap
 * rate with 1 + K tau <= 0 makes the caplet certain to pay: it is worth its
 * forward and the floorlet 0. In the notional's units. */
LORVEX_API int32_t LORVEX_CALL HW_HullWhiteCap(int32_t valuationSerial, double yearsToStart,
                                               double yearsToEnd, double capRate, double notional,
                                               int32_t paymentsPerYear, double sigma,
                                               double meanReversion, int32_t capFlag,
                                               SAFEARRAY** curve, double* value);

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
