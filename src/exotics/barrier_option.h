// European single-barrier option, barrier watched continuously, no rebate,
// on a stock paying a continuous dividend yield.
//
// Merton (1973) and Reiner & Rubinstein (1991), "Breaking down the
// barriers", Risk 4(8): the eight call/put, up/down, in/out cases assembled
// from four terms A, B, C, D (Haug, The Complete Guide to Option Pricing
// Formulas, 4.17.1). A is the plain European option.
//
// Rates and yield continuously compounded per year, times in years,
// volatility per square-root year. A time of zero or less is valued as
// 0.00001 years for the volatility and barrier terms while the discounting
// keeps the time given. A spot exactly at the barrier counts as touched.
#pragma once

#include "market/option_terms.h"

namespace lorvex {

// barrierType: kUpAndIn, kUpAndOut, kDownAndIn or kDownAndOut (exotic_inputs.h);
// any other code gives NaN.
double BarrierOption(double spot, double strike, double rate, double years, double dividendYield,
                     double barrier, double sigma, int barrierType, OptionType type);

}  // namespace lorvex
