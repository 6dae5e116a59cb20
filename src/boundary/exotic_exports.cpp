// Closed-form exotic options. Each export takes only numbers, calls one
// calculation of the C++ API and always writes its result: the value with
// status 0, or NaN with -9 when the calculation refuses an argument or its
// value is not a finite number. A null result pointer is refused with -9.
#include "boundary/export_guard.h"
#include "exotics/exotic_inputs.h"

using namespace lorvex;

extern "C" LORVEX_API int32_t LORVEX_CALL HW_barrier_compute(double spot, double strike,
                                                             double rate, double years,
                                                             double dividendYield, double barrier,
                                                             double sigma, int32_t barrierType,
                                                             int32_t optionKind, double* value) {
  return PriceClosedForm(value, [&] {
    return api::barrier({.spot = spot,
                         .strike = strike,
                         .rate = rate,
                         .expiry = years,
                         .dividend_yield = dividendYield,
                         .barrier = barrier,
                         .volatility = sigma,
                         .option = OptionTypeFromFlag(optionKind)},
                        barrierType);
  });
}

extern "C" LORVEX_API int32_t LORVEX_CALL HW_compound_compute(
    double spot, double compoundStrike, double underlyingStrike, double rate,
    double dividendYield, double sigma, double t1, double t2, int32_t underlyingKind,
    int32_t compoundKind, double* value) {
  return PriceClosedForm(value, [&] {
    return api::compound({.spot = spot,
                          .strike = compoundStrike,
                          .underlying_strike = underlyingStrike,
                          .rate = rate,
                          .dividend_yield = dividendYield,
                          .volatility = sigma,
                          .expiry = t1,
                          .underlying_expiry = t2,
                          .option = OptionTypeFromFlag(compoundKind)},
                         underlyingKind);
  });
}

extern "C" LORVEX_API int32_t LORVEX_CALL HW_lookback_compute(double spot, double rate,
                                                              double dividendYield, double sigma,
                                                              double years, double observedMax,
                                                              double observedMin,
                                                              int32_t optionKind, double* value) {
  return PriceClosedForm(value, [&] {
    return api::lookback({.spot = spot,
                          .rate = rate,
                          .dividend_yield = dividendYield,
                          .volatility = sigma,
                          .expiry = years,
                          .observed_max = observedMax,
                          .observed_min = observedMin,
                          .option = OptionTypeFromFlag(optionKind)});
  });
}

extern "C" LORVEX_API int32_t LORVEX_CALL HW_avgopt_compute(double spot, double strike,
                                                            double rate, double dividendYield,
                                                            double sigma, double remainingYears,
                                                            double observedAverage,
                                                            double elapsedYears,
                                                            int32_t optionKind, double* value) {
  return PriceClosedForm(value, [&] {
    return api::asian({.spot = spot,
                       .strike = strike,
                       .rate = rate,
                       .dividend_yield = dividendYield,
                       .volatility = sigma,
                       .expiry = remainingYears,
                       .observed_average = observedAverage,
                       .elapsed = elapsedYears,
                       .option = OptionTypeFromFlag(optionKind)});
  });
}

extern "C" LORVEX_API int32_t LORVEX_CALL HW_chooser_compute(double spot, double strike,
                                                             double rate, double dividendYield,
                                                             double sigma, double years,
                                                             double chooseYears, double* value) {
  return PriceClosedForm(value, [&] {
    return api::chooser({.spot = spot,
                         .strike = strike,
                         .rate = rate,
                         .dividend_yield = dividendYield,
                         .volatility = sigma,
                         .expiry = years,
                         .choose_at = chooseYears});
  });
}

extern "C" LORVEX_API int32_t LORVEX_CALL HW_binary_compute(double spot, double strike,
                                                            double rate, double dividendYield,
                                                            double sigma, double years,
                                                            double cashAmount, int32_t payoffType,
                                                            int32_t optionKind, double* value) {
  return PriceClosedForm(value, [&] {
    return api::binary({.spot = spot,
                        .strike = strike,
                        .rate = rate,
                        .dividend_yield = dividendYield,
                        .volatility = sigma,
                        .expiry = years,
                        .cash = cashAmount,
                        .payoff = payoffType == kCashOrNothing ? Payoff::Cash : Payoff::Asset,
                        .option = OptionTypeFromFlag(optionKind)});
  });
}
