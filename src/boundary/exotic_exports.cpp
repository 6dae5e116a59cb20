// Closed-form exotic options. Each export takes only numbers, calls one pure
// pricer and always writes its result: the value with status 0, or NaN with
// -9 when an argument is unusable (not finite, a negative price or
// volatility, a negative time no formula mends, an unknown barrier code) or
// the value comes out NaN or infinite (a zero volatility or time the formula
// divides by, a zero price under a logarithm). A null result pointer is
// refused with -9.
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <limits>

#include "boundary/dates.h"
#include "exotics/average_price_option.h"
#include "exotics/barrier_option.h"
#include "exotics/binary_option.h"
#include "exotics/chooser_option.h"
#include "exotics/compound_option.h"
#include "exotics/exotic_inputs.h"
#include "exotics/lookback_option.h"
#include "lorvex/lorvex.h"

using namespace lorvex;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

bool NoneNegative(std::initializer_list<double> values) {
  for (double v : values) {
    if (v < 0.0) return false;
  }
  return true;
}

// Negative prices and volatilities mostly end in the logarithm of a negative
// number, but not always: a negative volatility flips the sign of the
// diffusion terms and a structural zero (an up-and-out call struck above its
// barrier) ignores the spot, so both would pass as success with a
// meaningless number.
template <class Body>
int32_t RunClosedFormExport(double* result, std::initializer_list<double> arguments,
                            std::initializer_list<double> prices, double sigma,
                            Body&& body) noexcept {
  if (result == nullptr) return LORVEX_BAD_ARGUMENT;
  *result = kNaN;
  if (!AllFinite(arguments) || !NoneNegative(prices) || sigma < 0.0) return LORVEX_BAD_ARGUMENT;
  try {
    const double value = body();
    if (!std::isfinite(value)) return LORVEX_BAD_ARGUMENT;
    *result = value;
    return LORVEX_OK;
  } catch (...) {
    return LORVEX_BAD_ARGUMENT;
  }
}

}  // namespace

extern "C" LORVEX_API int32_t LORVEX_CALL HW_barrier_compute(double spot, double strike,
                                                             double rate, double years,
                                                             double dividendYield, double barrier,
                                                             double sigma, int32_t barrierType,
                                                             int32_t optionKind, double* value) {
  return RunClosedFormExport(value, {spot, strike, rate, years, dividendYield, barrier, sigma},
                             {spot, strike, barrier}, sigma, [&] {
                               return BarrierOption(spot, strike, rate, years, dividendYield,
                                                    barrier, sigma, barrierType, optionKind == 1);
                             });
}

extern "C" LORVEX_API int32_t LORVEX_CALL HW_compound_compute(
    double spot, double compoundStrike, double underlyingStrike, double rate,
    double dividendYield, double sigma, double t1, double t2, int32_t underlyingKind,
    int32_t compoundKind, double* value) {
  return RunClosedFormExport(
      value, {spot, compoundStrike, underlyingStrike, rate, dividendYield, sigma, t1, t2},
      {spot, compoundStrike, underlyingStrike}, sigma, [&] {
        return CompoundOption(spot, compoundStrike, underlyingStrike, rate, dividendYield, sigma,
                              t1, t2, underlyingKind, compoundKind == 1)
            .value;
      });
}

extern "C" LORVEX_API int32_t LORVEX_CALL HW_lookback_compute(double spot, double rate,
                                                              double dividendYield, double sigma,
                                                              double years, double observedMax,
                                                              double observedMin,
                                                              int32_t optionKind, double* value) {
  return RunClosedFormExport(
      value, {spot, rate, dividendYield, sigma, years, observedMax, observedMin},
      {spot, optionKind == 1 ? observedMin : observedMax}, sigma, [&] {
        return LookbackOption(spot, rate, dividendYield, sigma, years, observedMax, observedMin,
                              optionKind == 1);
      });
}

extern "C" LORVEX_API int32_t LORVEX_CALL HW_avgopt_compute(double spot, double strike,
                                                            double rate, double dividendYield,
                                                            double sigma, double remainingYears,
                                                            double observedAverage,
                                                            double elapsedYears,
                                                            int32_t optionKind, double* value) {
  return RunClosedFormExport(
      value,
      {spot, strike, rate, dividendYield, sigma, remainingYears, observedAverage, elapsedYears},
      {spot, strike, observedAverage}, sigma, [&] {
        // Negative times give finite but meaningless weights (T2/T, the
        // adjusted strike); no formula here mends them.
        if (remainingYears < 0.0 || elapsedYears < 0.0) return kNaN;
        return AveragePriceOption(spot, strike, rate, dividendYield, sigma, remainingYears,
                                  observedAverage, elapsedYears, optionKind == 1);
      });
}

extern "C" LORVEX_API int32_t LORVEX_CALL HW_chooser_compute(double spot, double strike,
                                                             double rate, double dividendYield,
                                                             double sigma, double years,
                                                             double chooseYears, double* value) {
  return RunClosedFormExport(
      value, {spot, strike, rate, dividendYield, sigma, years, chooseYears}, {spot, strike}, sigma,
      [&] {
        return ChooserOption(spot, strike, rate, dividendYield, sigma, years, chooseYears);
      });
}

extern "C" LORVEX_API int32_t LORVEX_CALL HW_binary_compute(double spot, double strike,
                                                            double rate, double dividendYield,
                                                            double sigma, double years,
                                                            double cashAmount, int32_t payoffType,
                                                            int32_t optionKind, double* value) {
  return RunClosedFormExport(
      value, {spot, strike, rate, dividendYield, sigma, years, cashAmount}, {spot, strike}, sigma,
      [&] {
        return BinaryOption(spot, strike, rate, dividendYield, sigma, years, cashAmount,
                            payoffType == kCashOrNothing, optionKind == 1);
      });
}
