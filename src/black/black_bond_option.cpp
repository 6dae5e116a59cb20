#include "black/black_bond_option.h"

#include <cmath>

#include "market/black_formula.h"
#include "market/bond_schedule.h"
#include "market/constants.h"
#include "market/iteration.h"
#include "market/volatility.h"
#include "market/zero_curve.h"

namespace lorvex {
namespace {

constexpr int kMaxSecantSteps = 11;
constexpr double kForwardPriceTolerance = 0.0001;

}  // namespace

double PriceVolFromYieldVol(double sigmaYield, int expiryJdn, double forwardPrice, const BondSchedule& bond) {
  auto price = [&](double y) { return bond.PriceFromYield(expiryJdn, y); };
  const double F = forwardPrice;
  const double yLow = 0.001;
  const double yHigh = 0.25;
  const double pLow = price(yLow);
  const double pHigh = price(yHigh);
  if (pHigh == pLow) return 0.0;

  // First guess on the straight line through the two ends, then one secant
  // step towards whichever end lies on the other side of F.
  const double y0 = yLow - (yHigh - yLow) * (pLow - F) / (pHigh - pLow);
  const double p0 = price(y0);
  const double ya = p0 < F ? yLow : yHigh;
  const double pa = p0 < F ? pLow : pHigh;
  // When the line lands exactly on an end its guess is already the yield;
  // the secant through two equal points is undefined.
  const double current = p0 == pa ? y0 : y0 - (y0 - ya) / (p0 - pa) * (p0 - F);

  // The secant search proper: each step fits a line through the last two
  // points; it stops once the price is within the tolerance of F (the step
  // from that point is still taken) or after kMaxSecantSteps steps.
  double previousYield = y0;
  double previousPrice = p0;
  double dP = 0.0;
  double dy = 0.0;
  const IterationResult search = Iterate(current, kMaxSecantSteps, [&](double y) {
    const double p = price(y);
    dP = p - previousPrice;
    if (dP == 0.0) dP = 1.0;
    dy = y - previousYield;
    const double next = y - dy / dP * (p - F);
    previousYield = y;
    previousPrice = p;
    return IterationStep{
        next, std::fabs(p - F) <= kForwardPriceTolerance ? IterationStep::kDone : IterationStep::kContinue};
  });
  const double next = search.point;
  if (dy == 0.0) {
    // The search did not move (its first guess was exact), so it measured
    // no slope: take the price's derivative by a central difference.
    const double h = 1e-6;
    dP = price(next + h) - price(next - h);
    dy = 2.0 * h;
  }
  return -(dP / dy) * next * sigmaYield / F;
}

double BlackBondOption(int valuationJdn, int expiryJdn, double strike, double sigmaYield, OptionType type,
                       const ZeroCurve& curve, const BondSchedule& bond) {
  const bool isPut = type == OptionType::Put;
  if (expiryJdn <= valuationJdn) return 0.0;
  const double tau = (expiryJdn - valuationJdn) / kDaysPerYear;
  const double D = std::exp(-curve.Interpolate(expiryJdn) * tau);
  const double forwardAfterExpiry = bond.ForwardPrice(valuationJdn, expiryJdn, curve);
  if (forwardAfterExpiry == 0.0) return 0.0;
  const double V = forwardAfterExpiry * D;
  const double dirtySpot = bond.ForwardPrice(valuationJdn, valuationJdn, curve);
  // Income I: the flows paid after today up to and including expiry.
  const double income = dirtySpot - V;
  const double F = (dirtySpot - income) / D;
  const double sigmaPrice = PriceVolFromYieldVol(sigmaYield, expiryJdn, F, bond);
  if (strike <= 0.0) return isPut ? 0.0 : V;
  const double stdDev = FlooredVolatility(sigmaPrice * std::sqrt(tau));
  return BlackFormula(F, strike, stdDev, D, isPut);
}

}  // namespace lorvex
