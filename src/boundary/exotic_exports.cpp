// Closed-form exotic options. Each export takes only numbers, calls one pure
// pricer and always writes its result: the value with status 0, or NaN with
// -9 when an argument is unusable (not finite, a negative volatility or time
// the formula cannot take, an unknown barrier code) or the value comes out
// NaN or infinite. A null result pointer is refused with -9.
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

template <class Body>
int32_t RunClosedFormExport(double* result, std::initializer_list<double> arguments,
                            double sigma, Body&& body) noexcept {
  if (result == nullptr) return LORVEX_BAD_ARGUMENT;
  *result = kNaN;
  // A negative volatility does not fail in the formulas: it silently prices
  // a different, meaningless option.
  if (!AllFinite(arguments) || sigma < 0.0) return LORVEX_BAD_ARGUMENT;
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
                             sigma, [&] {
                               return BarrierOption(spot, strike, rate, years, dividendYield,
                                                    barrier, sigma, barrierType, optionKind == 1);
                             });
}

extern "C" LORVEX_API int32_t LORVEX_CALL HW_compound_compute(
    double spot, double compoundStrike, double underlyingStrike, double rate,
    double dividendYield, double sigma, double t1, double t2, int32_t underlyingKind,
    int32_t compoundKind, double* value) {
  return RunClosedFormExport(
      value, {spot, compoundStrike, underlyingStrike, rate, dividendYield, sigma, t1, t2}, sigma,
      [&] {
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
      value, {spot, rate, dividendYield, sigma, years, observedMax, observedMin}, sigma, [&] {
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
      sigma, [&] {
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
      value, {spot, strike, rate, dividendYield, sigma, years, chooseYears}, sigma, [&] {
        return ChooserOption(spot, strike, rate, dividendYield, sigma, years, chooseYears);
      });
}

extern "C" LORVEX_API int32_t LORVEX_CALL HW_binary_compute(double spot, double strike,
                                                            double rate, double dividendYield,
                                                            double sigma, double years,
                                                            double cashAmount, int32_t payoffType,
                                                            int32_t optionKind, double* value) {
  return RunClosedFormExport(
      value, {spot, strike, rate, dividendYield, sigma, years, cashAmount}, sigma, [&] {
        return BinaryOption(spot, strike, rate, dividendYield, sigma, years, cashAmount,
                            payoffType == kCashOrNothing, optionKind == 1);
      });
}
