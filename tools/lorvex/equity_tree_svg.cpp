#include "equity_tree_svg.h"

#include <fmt/core.h>

#include <algorithm>
#include <cmath>

#include "svg_util.h"

namespace lorvex_cli {
namespace {

constexpr int kLabelledSteps = 8;

// 1-2-5 ticks per decade from the last at or below lo to the first at or
// above hi, lo > 0; evenly spaced round prices covering [lo, hi] when the
// range is too narrow for four of them.
std::vector<double> LogTicks(double lo, double hi) {
  std::vector<double> ticks;
  for (double decade = std::pow(10.0, std::floor(std::log10(lo))); ticks.empty() || ticks.back() < hi;
       decade *= 10) {
    for (double d : {1.0, 2.0, 5.0}) {
      const double t = d * decade;
      if (t <= lo) ticks.assign(1, t);
      else if (ticks.empty() || ticks.back() < hi) ticks.push_back(t);
    }
  }
  if (ticks.size() >= 4) return ticks;
  ticks = CoveringTicks(lo, hi, 6);
  if (ticks.front() <= 0.0) ticks.front() = lo;
  return ticks;
}

}  // namespace

std::string EquityTreeSvg(const EquityTreePicture& p) {
  const int n = p.steps;
  const bool labelled = n <= kLabelledSteps;
  const double plotWidth = labelled ? std::max(480.0, 130.0 * n) : 1000.0;
  const double plotHeight = labelled ? std::max(360.0, 70.0 * (n + 1)) : 640.0;
  const double left = 90, top = 70, right = labelled ? 110 : 40, bottom = 70;
  const double width = left + plotWidth + right;
  const double height = top + plotHeight + bottom;

  double lo = p.prices.empty() ? 0 : p.prices[0];
  double hi = lo;
  for (double v : p.prices) {
    lo = std::min(lo, v);
    hi = std::max(hi, v);
  }
  const bool logScale = lo > 0 && hi / lo > 3;
  auto scale = [&](double v) { return logScale ? std::log(v) : v; };
  double sLo = scale(lo), sHi = scale(hi);
  if (!(sHi > sLo)) {
    sLo -= 1;
    sHi += 1;
  }
  const double pad = 0.04 * (sHi - sLo);
  sLo -= pad;
  sHi += pad;
  // The axis runs from tick to tick, so that every node sits against a
  // labelled price.
  const std::vector<double> priceTicks =
      logScale ? LogTicks(std::exp(sLo), std::exp(sHi)) : CoveringTicks(sLo, sHi, 6);
  sLo = scale(priceTicks.front());
  sHi = scale(priceTicks.back());
  auto x = [&](int k) { return left + plotWidth * (n == 0 ? 0.0 : static_cast<double>(k) / n); };
  auto y = [&](double price) { return top + plotHeight * (sHi - scale(price)) / (sHi - sLo); };
  auto row = [](int k, int m) { return static_cast<std::size_t>(k) * (k + 1) / 2 + m; };

  std::string svg = fmt::format(
      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"{0:.0f}\" height=\"{1:.0f}\" "
      "viewBox=\"0 0 {0:.0f} {1:.0f}\" font-family=\"sans-serif\">\n"
      "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n"
      "<text x=\"{2}\" y=\"30\" font-size=\"17\" font-weight=\"bold\">{3}</text>\n",
      width, height, left, XmlEscape(p.title));

  // Axes: price ticks on the left, level times along the bottom.
  svg += fmt::format("<g stroke=\"#888\" stroke-width=\"1\"><line x1=\"{0}\" y1=\"{1}\" x2=\"{0}\" y2=\"{2}\"/>"
                     "<line x1=\"{0}\" y1=\"{2}\" x2=\"{3}\" y2=\"{2}\"/></g>\n",
                     left - 10, top, top + plotHeight, left + plotWidth);
  for (double t : priceTicks) {
    const double ty = y(t);
    svg += fmt::format(
        "<line x1=\"{0}\" y1=\"{1:.1f}\" x2=\"{2}\" y2=\"{1:.1f}\" stroke=\"#eee\"/>"
        "<text x=\"{3}\" y=\"{4:.1f}\" font-size=\"11\" text-anchor=\"end\">{5:.4g}</text>\n",
        left - 10, ty, left + plotWidth, left - 14, ty + 4, t);
  }
  const int timeStride = std::max(1, n / 10);
  for (int k = 0; k <= n; k += timeStride) {
    svg += fmt::format("<text x=\"{:.1f}\" y=\"{:.1f}\" font-size=\"11\" text-anchor=\"middle\">{:.4g}</text>\n",
                       x(k), top + plotHeight + 18, p.levelTimes[static_cast<std::size_t>(k)]);
  }
  svg += fmt::format("<text x=\"{:.1f}\" y=\"{:.1f}\" font-size=\"12\" text-anchor=\"middle\">time (years)</text>\n",
                     left + plotWidth / 2, top + plotHeight + 40);
  svg += fmt::format(
      "<text transform=\"translate(22 {:.1f}) rotate(-90)\" font-size=\"12\" text-anchor=\"middle\">"
      "stock price{}</text>\n",
      top + plotHeight / 2, logScale ? " (log scale)" : "");

  // Branches, then nodes on top.
  const double opacity = n <= 60 ? 0.7 : std::max(0.08, 40.0 / n);
  svg += fmt::format("<g stroke=\"#9aa\" stroke-width=\"{}\" opacity=\"{:.2f}\">\n", n <= 60 ? 1.2 : 0.5, opacity);
  for (int k = 0; k < n; ++k) {
    for (int m = 0; m <= k; ++m) {
      for (int up = 0; up <= 1; ++up) {
        svg += fmt::format("<line x1=\"{:.1f}\" y1=\"{:.1f}\" x2=\"{:.1f}\" y2=\"{:.1f}\"/>\n", x(k),
                           y(p.prices[row(k, m)]), x(k + 1), y(p.prices[row(k + 1, m + up)]));
      }
    }
  }
  svg += "</g>\n";
  const double radius = labelled ? 7 : std::clamp(300.0 / (n + 1), 1.2, 6.0);
  for (int k = 0; k <= n; ++k) {
    for (int m = 0; m <= k; ++m) {
      const std::size_t i = row(k, m);
      const double cx = x(k), cy = y(p.prices[i]);
      // The node's values as a tooltip, whatever the size of the tree.
      const std::string title = fmt::format(
          "<title>level {} node {}: time {:.6g}, stock {:.6g}, value {:.6g}{}</title>", k, m,
          p.levelTimes[static_cast<std::size_t>(k)], p.prices[i], p.values[i],
          p.exercised[i] ? (k < n ? ", exercised early" : ", pays off") : "");
      if (p.exercised[i] && k < n) {
        const double r = radius * 1.4;
        svg += fmt::format("<path class=\"node exercised\" d=\"M{0:.1f} {1:.1f} L{2:.1f} {3:.1f} L{0:.1f} {4:.1f} "
                           "L{5:.1f} {3:.1f} Z\" fill=\"#d62728\">{6}</path>\n",
                           cx, cy - r, cx + r, cy, cy + r, cx - r, title);
      } else {
        const char* fill = p.exercised[i] ? "#2ca02c" : "#1f77b4";
        svg += fmt::format("<circle class=\"node\" cx=\"{:.1f}\" cy=\"{:.1f}\" r=\"{:.1f}\" fill=\"{}\">{}</circle>\n",
                           cx, cy, radius, fill, title);
      }
      if (labelled) {
        svg += fmt::format(
            "<text x=\"{0:.1f}\" y=\"{1:.1f}\" font-size=\"11\">S {2:.2f}</text>"
            "<text x=\"{0:.1f}\" y=\"{3:.1f}\" font-size=\"11\" fill=\"#555\">V {4:.4f}</text>\n",
            cx + 10, cy - 3, p.prices[i], cy + 11, p.values[i]);
      }
    }
  }

  // Legend.
  const double lx = left + 10, ly = 48;
  svg += fmt::format(
      "<g font-size=\"12\"><circle cx=\"{0}\" cy=\"{1}\" r=\"5\" fill=\"#1f77b4\"/>"
      "<text x=\"{2}\" y=\"{3}\">held</text>"
      "<path d=\"M{4} {5} L{6} {1} L{4} {7} L{8} {1} Z\" fill=\"#d62728\"/>"
      "<text x=\"{9}\" y=\"{3}\">exercised early</text>"
      "<circle cx=\"{10}\" cy=\"{1}\" r=\"5\" fill=\"#2ca02c\"/>"
      "<text x=\"{11}\" y=\"{3}\">pays off at expiry</text></g>\n",
      lx, ly, lx + 9, ly + 4, lx + 80, ly - 7, lx + 87, ly + 7, lx + 73, lx + 93, lx + 210, lx + 219);
  svg += "</svg>\n";
  return svg;
}

}  // namespace lorvex_cli
