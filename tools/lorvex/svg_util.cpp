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

namespace {

double TickStep(double lo, double hi, int count) {
  const double raw = (hi - lo) / count;
  const double magnitude = std::pow(10.0, std::floor(std::log10(raw)));
  double step = magnitude;
  for (double f : {1.0, 2.0, 2.5, 5.0, 10.0}) {
    step = f * magnitude;
    if (step >= raw) break;
  }
  return step;
}

// Whole multiples of the step, not a running sum, so ticks stay round.
std::vector<double> Multiples(double first, double last, double step) {
  std::vector<double> ticks;
  for (double k = first; k <= last; k += 1.0) ticks.push_back(k == 0.0 ? 0.0 : k * step);
  return ticks;
}

}  // namespace

std::vector<double> AxisTicks(double lo, double hi, int count) {
  if (!(hi > lo)) return {lo};
  const double step = TickStep(lo, hi, count);
  return Multiples(std::ceil(lo / step), std::floor(hi / step + 1e-9), step);
}

std::vector<double> CoveringTicks(double lo, double hi, int count) {
  if (!(hi > lo)) return {lo};
  const double step = TickStep(lo, hi, count);
  return Multiples(std::floor(lo / step + 1e-9), std::ceil(hi / step - 1e-9), step);
}

}  // namespace lorvex_cli
