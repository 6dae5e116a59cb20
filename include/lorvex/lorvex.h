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
/* Faults of the output arrays of HW_TreeBondDisplay and HW_EquityTreeDisplay. */
#define LORVEX_DISPLAY_ABSENT (-4)     /* a required output array holds no array */
#define LORVEX_DISPLAY_DIMENSIONS (-5) /* an output array has the wrong number of dimensions */
#define LORVEX_DISPLAY_BOUNDS (-6)     /* an output array's bounds are unreadable (or it is missing) */
#define LORVEX_DISPLAY_TOO_SMALL (-7)  /* an output array is below its minimum rows */
#define LORVEX_DISPLAY_WRITE (-8)      /* a write failed, or the elements are not 8-byte doubles */

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
 * converge, or a tree beyond the work budget of 1.6e9 node-maturities or
 * the 2 GiB memory budget). */
LORVEX_API int32_t LORVEX_CALL HW_TreeBondOption(int32_t valuationSerial, double yearsToMaturity,
                                                 double couponRate, double face,
                                                 int32_t couponsPerYear, double expiryYears,
                                                 double strike, int32_t callFlag,
                                                 int32_t americanFlag, int32_t cleanStrikeFlag,
                                                 SAFEARRAY** curve, double sigma,
                                                 double meanReversion, int32_t stepCount,
                                                 int32_t kind, double* optionValue);

/* The tree of HW_TreeBondOption, on at most 10 steps (a larger stepCount is
 * lowered to 10) with three values per node, copied into three arrays of
 * doubles for drawing. Arguments 1 to 15 are those of HW_TreeBondOption;
 * no price is returned. Cells are written at absolute indices from 0
 * (row, column), whatever the arrays' lower bounds:
 *   nodeArray (2-D, at least 121 rows, columns 0 to 3): one row per node,
 *     level by level from the valuation date to the expiry, lowest rate
 *     first: option value, the bond's dirty price off the node's curve,
 *     exercise flag (1.0 exercised, -1.0 held; a tie is held), one-step
 *     short rate;
 *   levelArray (2-D, at least 11 rows, columns 0 to 2): row i for level i:
 *     time in years, the bond's accrued interest at the level's date,
 *     node count;
 *   probabilityArray (2-D, at least 21 rows, columns 0 to 2): row j for
 *     node j of the level before the expiry: up, middle and down
 *     probabilities.
 * Status: 0; the curve array's statuses as for HW_TreeBondOption; -9 for
 * its arguments as there; -1 the tree cannot be built (see there); -4 the
 * node or level array missing; -5 the node or level array (or a present
 * probability array) not two-dimensional; -6 a first-dimension bound
 * unreadable, a missing probability array included; -7 an array below its
 * minimum rows; -8 a write failed (a lower bound of 1, too few columns), or
 * an array whose elements are not 8-byte doubles. Nothing is written on -4
 * to -7 nor on the element-size -8; a failing write leaves the rows before
 * it written. The arrays are checked after the tree is built, so a tree
 * failure is reported first. */
LORVEX_API int32_t LORVEX_CALL HW_TreeBondDisplay(int32_t valuationSerial, double yearsToMaturity,
                                                  double couponRate, double face,
                                                  int32_t couponsPerYear, double expiryYears,
                                                  double strike, int32_t callFlag,
                                                  int32_t americanFlag, int32_t cleanStrikeFlag,
                                                  SAFEARRAY** curve, double sigma,
                                                  double meanReversion, int32_t stepCount,
                                                  int32_t kind, SAFEARRAY** nodeArray,
                                                  SAFEARRAY** levelArray,
                                                  SAFEARRAY** probabilityArray);

/* European swaption on a Hull-White trinomial tree: the right, on the swap's
 * start date (startYears), to enter a swap running to endYears (note the
 * order: end first) that receives fixedRate and pays the floating rate, both
 * legs paying paymentsPerYear times a year (1, 2, 4 or 12, otherwise
 * LORVEX_SWAP_SCHEDULE). receiverFlag 1 = receiver, other = payer. The swap
 * is valued off each node's own zero curve on the start date (a start
 * before the valuation date leaves the option worth 0). stepCount is the
 * number of steps a year up to the start date; kind, sigma and
 * meanReversion as for HW_TreeBondOption. Status -1: the tree cannot be
 * built (stepCount below 1, a*dt >= 1 on a step, a fit that does not
 * converge, a tree beyond the work or memory budget); -9 also when the value
 * overflows. */
LORVEX_API int32_t LORVEX_CALL HW_TreeSwapOption(int32_t valuationSerial, double endYears,
                                                 double startYears, double fixedRate, double notional,
                                                 int32_t paymentsPerYear, int32_t receiverFlag,
                                                 SAFEARRAY** curve, double sigma, double meanReversion,
                                                 int32_t stepCount, int32_t kind, double* value);

/* Cap or floor on a Hull-White trinomial tree. Caplets are laid back from
 * endYears every 12/paymentsPerYear months to startYears (note the order:
 * end first), as for HW_BlackCap (LORVEX_CAP_SCHEDULE for another frequency
 * or a cap without caplets). Each caplet settles on its reset date at every
 * node, N tau max(F - K, 0) paid at its end for a cap (the floor takes
 * max(K - F, 0)), F the simple forward rate seen from the node. A caplet
 * resetting on the valuation date counts (HW_BlackCap and HW_HullWhiteCap
 * leave it out). capFlag 0 = floor, any other value = cap (unlike
 * HW_HullWhiteCap). stepParameter / startYears, rounded, within 1 to 20, is
 * the number of steps a year (a start of 0 gives 1). Status -1 as for
 * HW_TreeSwapOption. */
LORVEX_API int32_t LORVEX_CALL HW_TreeCap(int32_t valuationSerial, double endYears, double startYears,
                                          double capRate, double notional, int32_t paymentsPerYear,
                                          int32_t capFlag, SAFEARRAY** curve, double sigma,
                                          double meanReversion, int32_t stepParameter, int32_t kind,
                                          double* value);

/* Short-rate spacing of the tree HW_TreeBondOption builds for an option
 * expiring expiryYears on a bond maturing maturityYears from the valuation
 * date: the rate of node 2 minus that of node 1 one step after the valuation
 * date (sigma * sqrt(3 * days of the first step / 365) on the normal tree).
 * Nothing is priced; the curve gets no bond dates. Status -1 as for
 * HW_TreeBondOption. */
LORVEX_API int32_t LORVEX_CALL HW_BondTreeRateDelta(int32_t valuationSerial, double maturityYears,
                                                    double expiryYears, SAFEARRAY** curve, double sigma,
                                                    double meanReversion, int32_t stepCount, int32_t kind,
                                                    double* rateDelta);

/* The same spacing on the tree of a cap from startYears to endYears (here
 * the start comes first) paying paymentsPerYear times a year:
 * LORVEX_CAP_SCHEDULE for another frequency or an end not after the start.
 * Unlike HW_TreeCap, the steps a year are stepParameter / endYears,
 * rounded, within 1 to 20, and the caplet dates are not added to the
 * curve. */
LORVEX_API int32_t LORVEX_CALL HW_CapTreeRateDelta(int32_t valuationSerial, double startYears,
                                                   double endYears, int32_t paymentsPerYear,
                                                   SAFEARRAY** curve, double sigma, double meanReversion,
                                                   int32_t stepParameter, int32_t kind,
                                                   double* rateDelta);

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

/* Stock options in closed form, on a stock paying a continuous dividend
 * yield q; rates continuously compounded per year, times in years,
 * volatilities per square-root year. These take no curve. Each writes its
 * value and returns LORVEX_OK, or writes NaN and returns LORVEX_BAD_ARGUMENT
 * when an argument is not finite, a price (spot, strike, barrier, observed
 * extreme or average) or the volatility is negative, a barrier code is
 * unknown, an average-price time is negative, or the value is not a finite
 * number (a zero volatility or time the formula divides by, a zero price
 * under a logarithm); a null result pointer is refused with
 * LORVEX_BAD_ARGUMENT. Option kinds are compared with 1: 1 is a call, any
 * other value a put. */

/* Type codes, one numbering for every exotic export. */
#define LORVEX_UP_AND_IN 5
#define LORVEX_UP_AND_OUT 6
#define LORVEX_DOWN_AND_IN 7
#define LORVEX_DOWN_AND_OUT 8
#define LORVEX_CASH_OR_NOTHING 9     /* any other payoff code: asset-or-nothing */
#define LORVEX_UNDERLYING_CALL 12    /* any other underlying code: a put */
#define LORVEX_UNDERLYING_PUT 13

/* European barrier option, barrier watched continuously, no rebate; barrier
 * type LORVEX_UP_AND_IN to LORVEX_DOWN_AND_OUT. A spot at the barrier has
 * touched it. A time of 0 or less is valued as 0.00001 years (discounting
 * keeps the time given). */
LORVEX_API int32_t LORVEX_CALL HW_barrier_compute(double spot, double strike, double rate,
                                                  double years, double dividendYield,
                                                  double barrier, double sigma,
                                                  int32_t barrierType, int32_t optionKind,
                                                  double* value);

/* Option on an option: at t1 buy (compound kind 1) or sell (other) for
 * compoundStrike a call (underlying kind 12) or put (other) on the stock
 * struck at underlyingStrike expiring at t2. With kind exactly 13 and a put
 * whose strike discounted to t1 is below compoundStrike, the call on it is
 * worth 0 and the put on it compoundStrike e^(-r t1) less the put today, with
 * no search for the critical price. A t2 at or before t1 is taken as
 * t1 + 0.00001. */
LORVEX_API int32_t LORVEX_CALL HW_compound_compute(double spot, double compoundStrike,
                                                   double underlyingStrike, double rate,
                                                   double dividendYield, double sigma, double t1,
                                                   double t2, int32_t underlyingKind,
                                                   int32_t compoundKind, double* value);

/* Floating-strike lookback: the call pays S(T) less the lowest price (the
 * lowest so far is observedMin), the put the highest price (so far
 * observedMax) less S(T). Equal r and q: r is raised by 0.00001. */
LORVEX_API int32_t LORVEX_CALL HW_lookback_compute(double spot, double rate,
                                                   double dividendYield, double sigma,
                                                   double years, double observedMax,
                                                   double observedMin, int32_t optionKind,
                                                   double* value);

/* Arithmetic average-price option (moment-matched lognormal average): the
 * average runs continuously over elapsedYears already observed (average
 * observedAverage) and the remainingYears to expiry. */
LORVEX_API int32_t LORVEX_CALL HW_avgopt_compute(double spot, double strike, double rate,
                                                 double dividendYield, double sigma,
                                                 double remainingYears, double observedAverage,
                                                 double elapsedYears, int32_t optionKind,
                                                 double* value);

/* Simple chooser: at chooseYears the holder picks a European call or put,
 * both struck at strike and expiring at years. */
LORVEX_API int32_t LORVEX_CALL HW_chooser_compute(double spot, double strike, double rate,
                                                  double dividendYield, double sigma,
                                                  double years, double chooseYears,
                                                  double* value);

/* Digital option: payoff type 9 pays cashAmount, any other type the stock,
 * when it ends in the money (call above the strike, put below). A time of 0
 * or less is valued as 0.00001 years. */
LORVEX_API int32_t LORVEX_CALL HW_binary_compute(double spot, double strike, double rate,
                                                 double dividendYield, double sigma, double years,
                                                 double cashAmount, int32_t payoffType,
                                                 int32_t optionKind, double* value);

#ifdef __cplusplus
}
#endif

#endif /* LORVEX_LORVEX_H */
