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

/* ---- Equity binomial tree --------------------------------------------- */

/* European or American call or put on a stock, on a Cox-Ross-Rubinstein tree
 * of `steps` steps. The tree moves the dividend-free part of the price, which
 * starts at `spot`; the continuous yield enters through the up-probability;
 * with useDividends = 1 each node's price also carries the present value at
 * its level's time of the cash dividends falling within `expiry` years after
 * that time (dividend rows: time in years from today, cash amount; the array
 * is read and checked even when the dividends are off).
 * Flags: exerciseStyle 1 = American, optionKind 1 = call, useDividends 1 =
 * apply the dividends; any other value selects the other case.
 * Results: price, delta and gamma from the first levels of the tree, theta
 * per calendar day.
 * Status: 0; -4, -5, -1, -2 or -9 for the dividend array as for a curve;
 * -9 when steps is below 2 or above LORVEX_EQUITY_MAX_STEPS, expiry or
 * volatility is not above 0, a number is not finite, an output pointer is
 * null, or the tree's numbers overflow; -1 when memory runs out. On failure
 * no output is written. */
#define LORVEX_EQUITY_MAX_STEPS 100000
LORVEX_API int32_t LORVEX_CALL HW_TreeEquityOpt(double spot, double strike, double rate,
                                                double expiry, double yield,
                                                SAFEARRAY** dividends, double volatility,
                                                int32_t steps, int32_t exerciseStyle,
                                                int32_t optionKind, int32_t useDividends,
                                                double* price, double* delta, double* gamma,
                                                double* theta);

/* The tree of HW_TreeEquityOpt copied into three arrays of doubles, at
 * absolute indices from 0 whatever their lower bounds:
 *   nodeTable (2-D, at least 169 rows): row k(k+1)/2 + m for node m (lowest
 *     price first) of level k, columns 0 option value, 1 stock price,
 *     2 exercised (1.0 or 0.0);
 *   levelTable (2-D, at least 13 rows): row k + 2, column 0, the time k dt;
 *   parameters (at least 7 elements): dt, discount exp(-r dt), growth
 *     exp((r - q) dt), up-probability, up factor, down factor.
 * The minimum sizes do not grow with the tree: a write beyond an array
 * stops the copy with -8, cells already written keep their values.
 * Status: the dividend array's as above; -9 for the arguments as above;
 * -1 when the tree would take more than 256 MiB (about 5,600 steps) or
 * memory runs out; -4 node or level table missing; -5 either not
 * two-dimensional; -6 a bound unreadable (a missing parameter vector
 * included); -7 an array below its minimum; -8 a write failed, or an array
 * whose elements are not 8-byte doubles. */
LORVEX_API int32_t LORVEX_CALL HW_EquityTreeDisplay(double spot, double strike, double rate,
                                                    double expiry, double yield,
                                                    SAFEARRAY** dividends, double volatility,
                                                    int32_t steps, int32_t exerciseStyle,
                                                    int32_t optionKind, int32_t useDividends,
                                                    SAFEARRAY** nodeTable, SAFEARRAY** levelTable,
                                                    SAFEARRAY** parameters);

/* ---- Closed-form exotic options --------------------------------------- */

#ifdef __cplusplus
}
#endif

#endif /* LORVEX_LORVEX_H */
