#include "black/black_swaption.h"

#include <cmath>

#include "market/black_formula.h"
#include "market/constants.h"
#include "market/swap_schedule.h"
#include "market/volatility.h"

namespace lorvex {

double BlackSwaption(int valuationJdn, int expiryJdn, double sigma, OptionType type, const ZeroCurve& curve,
                     const SwapSchedule& swap) {
  if (expiryJdn <= valuationJdn) return 0.0;
  const bool isPayer = type == OptionType::Call;
  const double annuity = swap.Annuity(0, valuationJdn, expiryJdn, curve);
  double S = swap.ForwardRate(0, valuationJdn, expiryJdn, curve);
  if (S == 0.0) return 0.0;
  if (S < 0.0) S = kLowestLognormalRate;
  const double K = swap.FixedRate();
  if (K <= 0.0) return isPayer ? S * annuity : 0.0;
  const double tau = (expiryJdn - valuationJdn) / kDaysPerYear;
  const double v = FlooredVolatility(sigma) * std::sqrt(tau);
  return BlackFormula(S, K, v, annuity, !isPayer);
}

}  // namespace lorvex
