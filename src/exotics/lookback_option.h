// European floating-strike lookback option on a stock paying a continuous
// dividend yield (Goldman, Sosin & Gatto 1979, "Path dependent options: buy
// at the low, sell at the high", J. Finance 34; Haug 4.15.1). The call pays
// S(T) - min S, the put max S - S(T); the extreme observed so far is an
// input, so the option can be valued during its life.
//
// The formula divides by r - q: when they are equal, r is raised by 0.00001
// (discounting included).
#pragma once

#include "market/option_terms.h"

namespace lorvex {

// observedMin is used by the call only, observedMax by the put only.
double LookbackOption(double spot, double rate, double dividendYield, double sigma, double years,
                      double observedMax, double observedMin, OptionType type);

}  // namespace lorvex
