// Simple chooser option (Rubinstein 1991, "Options for the undecided",
// Risk 4; Haug 4.6.1) on a stock paying a continuous dividend yield: at t1
// the holder chooses a European call or put, both struck at X and expiring
// at T. Worth the call plus a put struck at X e^(-(r-q)(T-t1)) expiring at
// t1, scaled by e^(-q(T-t1)).
#pragma once

namespace lorvex {

double ChooserOption(double spot, double strike, double rate, double dividendYield, double sigma,
                     double years, double chooseYears);

}  // namespace lorvex
