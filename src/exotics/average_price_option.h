// European arithmetic average-price (Asian) option on a stock paying a
// continuous dividend yield, averaging continuously from the start of the
// period to expiry: Turnbull & Wakeman (1991), "A quick algorithm for
// pricing European average options", J. Financial and Quantitative
// Analysis 26 (Haug 4.20.2). The remaining average is taken as lognormal
// with its first two moments; the part already observed (average SA over
// tau years) shifts the strike.
//
// When the observed part alone already exceeds the strike, the call is
// certain to be exercised (discounted expected excess) and the put is worth 0.
#pragma once

#include "market/option_terms.h"

namespace lorvex {

// remainingYears: time left to expiry; elapsedYears: averaging already done.
double AveragePriceOption(double spot, double strike, double rate, double dividendYield, double sigma,
                          double remainingYears, double observedAverage, double elapsedYears,
                          OptionType type);

}  // namespace lorvex
