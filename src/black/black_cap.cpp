#include "black/black_cap.h"

#include <cmath>

#include "black/black_formula.h"
#include "market/cap_schedule.h"
#include "market/constants.h"
#include "market/zero_curve.h"

namespace lorvex {

double BlackCapFloor(int valuationJdn, double sigma, bool isFloor, const ZeroCurve& curve,
                     const CapSchedule& cap) {
  const double vol = FlooredVolatility(sigma);
  double sum = 0.0;
  for (int i = 0; i < cap.Count(); ++i) {
    const CapletPeriod& c = cap[i];
    if (c.start <= valuationJdn) continue;
    const double K = c.capRate > 0.0 ? c.capRate : 1e-6;
    double F = cap.CapletForwardRate(i, valuationJdn, curve);
    if (!(F > 0.0)) F = 1e-6;
    const double payDiscount = std::exp(-curve.Interpolate(c.end) * (c.end - valuationJdn) / kDaysPerYear);
    const double v = vol * std::sqrt((c.start - valuationJdn) / kDaysPerYear);
    sum += BlackFormula(F, K, v, payDiscount * c.notional * c.accrualFraction, isFloor);
  }
  return sum;
}

}  // namespace lorvex
