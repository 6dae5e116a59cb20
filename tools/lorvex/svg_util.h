// Small pieces shared by the command's SVG pictures.
#pragma once

#include <string>
#include <vector>

namespace lorvex_cli {

// Text made safe for an XML attribute or element.
std::string XmlEscape(const std::string& text);

// About `count` round axis ticks (steps of 1, 2, 2.5 or 5 times a power of
// ten) covering [lo, hi]; a zero tick carries no sign.
std::vector<double> AxisTicks(double lo, double hi, int count);

// The same ticks widened by one step where needed so that the first is at
// or below lo and the last at or above hi: an axis drawn from the first to
// the last covers every value in [lo, hi].
std::vector<double> CoveringTicks(double lo, double hi, int count);

}  // namespace lorvex_cli
