// European digital option on a stock paying a continuous dividend yield
// (Reiner & Rubinstein 1991, "Unscrambling the binary code", Risk 4; Haug
// 4.19.2-3): cash-or-nothing pays a fixed amount, asset-or-nothing the
// stock, when the option ends in the money. A time of zero or less is valued
// as 0.00001 years, discounting included.
#pragma once

#include "market/option_terms.h"

namespace lorvex {

// cashAmount is ignored by asset-or-nothing.
double BinaryOption(double spot, double strike, double rate, double dividendYield, double sigma, double years,
                    double cashAmount, bool cashOrNothing, OptionType type);

}  // namespace lorvex
