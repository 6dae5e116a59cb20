// European options on coupon bonds under the fitted Hull-White model, by
// Jamshidian's decomposition (Jamshidian 1989, "An exact bond option
// formula", J. Finance 44): every zero-bond price at expiry falls as the
// short rate rises, so an option on the whole bond struck at X is a
// portfolio of options on its single flows, each struck at that flow's
// model price at the critical rate r*, where the bond is worth exactly X.
// A swaption is the same option on the fixed leg taken as a bond.
#pragma once

#include "market/option_terms.h"

namespace lorvex {

class BondSchedule;
class ZeroCurve;

struct BondValueAndSlope {
  double value;       // sum of flow * P(t, Ti; r) over the flows paid after the cutoff
  double derivative;  // d value / d r
};

// Model value at date t, given the short rate r there, of the bond's flows
// paid strictly after the cutoff date (a flow on the cutoff itself is out),
// with its derivative in r. An empty bond is worth 0 with slope 0.
BondValueAndSlope HullWhiteCouponBondValue(const BondSchedule& bond, double t0, double t,
                                           double cutoff, const ZeroCurve& curve, double r,
                                           double sigma, double a);

// Iteration limit of the search for the critical rate. Newton's method from
// the zero rate at expiry converges in a handful of steps on any bond with
// positive flows; the limit only stops a search that cannot converge.
inline constexpr int kMaxCriticalRateSteps = 100;

// A search is done once the bond's model value is within this of the strike
// (the step is still taken, so the rate found is one step better).
inline constexpr double kCriticalRateTolerance = 0.00001;

// Outcome of the search for the critical rate (0 when it was found or not
// needed, so that a status reads as "not 0 is a failure").
enum CriticalRateSearch { kCriticalRateFound = 0, kCriticalRateNotFound = 1 };

struct CouponBondOptionResult {
  double value;               // option value at t0; 0 when the search failed
  double criticalRate;        // r*, the short rate at expiry at which the bond is worth the strike
  int steps;                  // Newton steps taken (0 when no search was needed)
  CriticalRateSearch status;  // kCriticalRateNotFound: no convergence, or a non-finite rate
};

// Option expiring at tex on the bond's flows paid strictly after tex, with
// dirty strike X in the bond's price units.
//  - tex on or before t0: 0.
//  - no flow after tex: an option on nothing, worth 0.
//  - X <= 0: no critical rate exists; exercising the call is certain, so it
//    is worth the market value today of the flows after expiry, the put 0.
//  - otherwise Newton's method from r = R(tex): r <- r - (V(r) - X)/V'(r),
//    stopping once |V(r) - X| <= 1e-5 before the step, the step taken
//    regardless; then sum over the flows of flow * ZeroBondOption(Ki),
//    Ki = P(tex, Ti; r*). At most maxSteps steps; a search that has not met
//    the tolerance by then, or whose rate stops being a finite number, fails.
CouponBondOptionResult HullWhiteCouponBondOption(int t0, int tex, double X, OptionType type,
                                                 const ZeroCurve& curve, double sigma, double a,
                                                 const BondSchedule& bond,
                                                 int maxSteps = kMaxCriticalRateSteps);

}  // namespace lorvex
