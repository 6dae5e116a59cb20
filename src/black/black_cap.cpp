#include "black/black_cap.h"

#include <cmath>

#include "market/black_formula.h"
#include "market/cap_schedule.h"
#include "market/discount.h"
#include "market/volatility.h"
#include "market/zero_curve.h"

namespace lorvex {

double BlackCapFloor(int valuationJdn, double sigma, OptionType type, const ZeroCurve& curve,
                     const CapSchedule& cap) {
  const double vol = FlooredVolatility(sigma);
  double sum = 0.0;
  for (int i = 0; i < cap.Count(); ++i) {
    const CapletPeriod& c = cap[i];
    if (c.start <= valuationJdn) continue;
    const double K = c.capRate > 0.0 ? c.capRate : kLowestLognormalRate;
    double F = cap.CapletForwardRate(i, valuationJdn, curve);
    if (!(F > 0.0)) F = kLowestLognormalRate;
    const double payDiscount = DiscountFactor(curve, valuationJdn, c.end);
    const double v = vol * std::sqrt((c.start - valuationJdn) / kDaysPerYear);
    sum += BlackFormula(F, K, v, payDiscount * c.notional * c.accrualFraction, type == OptionType::Put);
  }
  return sum;
}

}  // namespace lorvex
