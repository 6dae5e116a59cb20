#include "svg_util.h"

#include <cmath>

namespace lorvex_cli {

std::string XmlEscape(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

std::vector<double> AxisTicks(double lo, double hi, int count) {
  std::vector<double> ticks;
  if (!(hi > lo)) return {lo};
  const double raw = (hi - lo) / count;
  const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
  double step = magnitude;
  for (double f : {1.0, 2.0, 2.5, 5.0, 10.0}) {
    step = f * magnitude;
    if (step >= raw) break;
  }
  // Whole multiples of the step, not a running sum, so ticks stay round.
  for (double k = std::ceil(lo / step); k * step <= hi + 1e-9 * step; k += 1.0) {
    ticks.push_back(k == 0.0 ? 0.0 : k * step);
  }
  return ticks;
}

}  // namespace lorvex_cli
