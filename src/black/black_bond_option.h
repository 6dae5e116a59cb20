// European option on a coupon bond under Black's model: the forward dirty
// price of the bond at expiry is lognormal, with a price volatility derived
// from a yield volatility through the bond's modified duration at the
// forward yield. Discounting is on the zero curve, continuously compounded,
// actual/365.
#pragma once

#include "market/option_terms.h"

namespace lorvex {

class BondSchedule;
class ZeroCurve;

// Value at the valuation date J of a call (or put) expiring at E on the bond,
// struck at the dirty price K. sigmaYield is a proportional volatility of the
// bond's yield. Returns 0 when E <= J or no bond flow is paid after E. The
// forward price F is the value of the flows after E (a flow paid on E itself
// belongs to the holder before expiry), carried to E. A strike of 0 or below
// makes the call worth the flows after expiry and the put nothing.
double BlackBondOption(int valuationJdn, int expiryJdn, double strike, double sigmaYield, OptionType type,
                       const ZeroCurve& curve, const BondSchedule& bond);

// Price volatility sigmaP = D_mod * y * sigmaYield of a bond whose dirty price
// at expiry E is F, with y the yield (compounded at the coupon frequency) that
// prices the bond at F and D_mod = -(dP/dy) / P. The yield comes from a
// secant search started on the line through y = 0.1% and y = 25%, stopped when
// the price is within 0.0001 of F or after 11 passes; the slope is that of the
// last secant step. Returns 0 when the two starting prices coincide.
double PriceVolFromYieldVol(double sigmaYield, int expiryJdn, double forwardPrice, const BondSchedule& bond);

}  // namespace lorvex
