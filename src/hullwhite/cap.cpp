#include "hullwhite/cap.h"

#include <cmath>

#include "hullwhite/zero_bond.h"
#include "market/cap_schedule.h"
#include "market/volatility.h"
#include "market/zero_curve.h"

namespace lorvex {

double HullWhiteCapValue(int t0, double sigma, double a, OptionType type, const ZeroCurve& curve,
                         const CapSchedule& cap) {
  sigma = FlooredVolatility(sigma);
  // A caplet is a put on the zero bond, a floorlet a call (the zero-bond
  // option takes its put flag as an int).
  const int bondPut = type == OptionType::Call ? 1 : 0;
  double sum = 0.0;
  for (const CapletPeriod& c : cap.Caplets()) {
    if (c.start <= t0) continue;
    const double growth = 1.0 + c.capRate * c.accrualFraction;
    if (growth <= 0.0) {
      // A strike at or below -1/tau: the bond strike 1/growth would be
      // infinite or negative. The caplet is certain to pay.
      if (type == OptionType::Call) {
        const double ps = HullWhiteZeroBondPrice(0.0, t0, t0, c.start, curve, sigma, a);
        const double pe = HullWhiteZeroBondPrice(0.0, t0, t0, c.end, curve, sigma, a);
        sum += c.notional * (ps - growth * pe);
      }
      continue;
    }
    sum += c.notional * growth *
           HullWhiteZeroBondOption(t0, c.start, c.end, 1.0 / growth, curve, sigma, a, bondPut);
  }
  return sum;
}

}  // namespace lorvex
