#include "tree_display_svg.h"

#include <fmt/core.h>

#include <algorithm>
#include <cmath>

#include "svg_util.h"

namespace lorvex_cli {
namespace {

constexpr int kLabelledSteps = 6;
constexpr int kLevelRows = 11;
constexpr int kProbabilityRows = 21;

double At(SAFEARRAY* a, long row, long column) {
  LONG index[2] = {static_cast<LONG>(row), static_cast<LONG>(column)};
  double v = 0.0;
  if (SafeArrayGetElement(a, index, &v) != S_OK) return std::nan("");
  return v;
}

}  // namespace

std::size_t BondTreePicture::Row(int level, int node) const {
  std::size_t row = 0;
  for (int i = 0; i < level; ++i) row += static_cast<std::size_t>(nodeCounts[static_cast<std::size_t>(i)]);
  return row + static_cast<std::size_t>(node);
}

BondTreePicture ReadBondTree(SAFEARRAY* nodes, SAFEARRAY* levels, SAFEARRAY* probabilities) {
  BondTreePicture p;
  long row = 0;
  for (long i = 0; i < kLevelRows; ++i) {
    const double count = At(levels, i, 2);
    if (!(count >= 1)) break;
    p.levelTimes.push_back(At(levels, i, 0));
    p.accrued.push_back(At(levels, i, 1));
    p.nodeCounts.push_back(static_cast<int>(count));
    for (int j = 0; j < static_cast<int>(count); ++j, ++row) {
      p.values.push_back(At(nodes, row, 0));
      p.bondPrices.push_back(At(nodes, row, 1));
      p.exercised.push_back(At(nodes, row, 2) > 0.0);
      p.rates.push_back(At(nodes, row, 3));
    }
  }
  if (p.nodeCounts.size() >= 2) {
    const int before = p.nodeCounts[p.nodeCounts.size() - 2];
    for (long j = 0; j < std::min(before, kProbabilityRows); ++j) {
      p.pUp.push_back(At(probabilities, j, 0));
      p.pMiddle.push_back(At(probabilities, j, 1));
      p.pDown.push_back(At(probabilities, j, 2));
    }
  }
  return p;
}

int MiddleSuccessor(int n, int next, int j) {
  const int m = j + (next - n) / 2;
  return next < 3 ? std::clamp(m, 0, next - 1) : std::clamp(m, 1, next - 2);
}

std::string BondTreeSvg(const BondTreePicture& p) {
  const int levels = static_cast<int>(p.nodeCounts.size());
  const int steps = std::max(levels - 1, 0);
  const bool labelled = steps <= kLabelledSteps;
  const double plotWidth = std::max(560.0, (labelled ? 150.0 : 95.0) * steps);
  // Tall enough for the last step's probabilities to keep apart.
  const int widest = p.nodeCounts.empty() ? 1 : *std::max_element(p.nodeCounts.begin(), p.nodeCounts.end());
  const double plotHeight = std::max(600.0, 36.0 * widest);
  const double left = 90, top = 80, right = labelled ? 150 : 60, bottom = 70;
  const double width = left + plotWidth + right;
  const double height = top + plotHeight + bottom;

  double lo = p.rates.empty() ? 0.0 : p.rates[0];
  double hi = lo;
  for (double r : p.rates) {
    lo = std::min(lo, r);
    hi = std::max(hi, r);
  }
  if (!(hi > lo)) {
    lo -= 0.01;
    hi += 0.01;
  }
  const double pad = 0.05 * (hi - lo);
  // The axis runs from tick to tick, so that every node sits against a
  // labelled rate.
  const std::vector<double> rateTicks = CoveringTicks(lo - pad, hi + pad, 8);
  lo = rateTicks.front();
  hi = rateTicks.back();
  const double lastTime = p.levelTimes.empty() ? 0.0 : p.levelTimes.back();
  auto x = [&](int i) {
    const double t = p.levelTimes[static_cast<std::size_t>(i)];
    return left + plotWidth * (lastTime > 0 ? t / lastTime : 0.0);
  };
  auto y = [&](double rate) { return top + plotHeight * (hi - rate) / (hi - lo); };
  auto rateAt = [&](int i, int j) { return p.rates[p.Row(i, j)]; };

  std::string svg = fmt::format(
      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"{0:.0f}\" height=\"{1:.0f}\" "
      "viewBox=\"0 0 {0:.0f} {1:.0f}\" font-family=\"sans-serif\">\n"
      "<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n"
      "<text x=\"{2}\" y=\"30\" font-size=\"16\" font-weight=\"bold\">{3}</text>\n",
      width, height, left, XmlEscape(p.title));

  // Axes: short-rate ticks (in per cent) on the left, level times below.
  svg += fmt::format("<g stroke=\"#888\" stroke-width=\"1\"><line x1=\"{0}\" y1=\"{1}\" x2=\"{0}\" y2=\"{2}\"/>"
                     "<line x1=\"{0}\" y1=\"{2}\" x2=\"{3}\" y2=\"{2}\"/></g>\n",
                     left - 10, top, top + plotHeight, left + plotWidth);
  for (double t : rateTicks) {
    const double ty = y(t);
    svg += fmt::format(
        "<line x1=\"{0}\" y1=\"{1:.1f}\" x2=\"{2}\" y2=\"{1:.1f}\" stroke=\"#eee\"/>"
        "<text x=\"{3}\" y=\"{4:.1f}\" font-size=\"11\" text-anchor=\"end\">{5:.4g}%</text>\n",
        left - 10, ty, left + plotWidth, left - 14, ty + 4, 100.0 * t);
  }
  for (int i = 0; i < levels; ++i) {
    svg += fmt::format("<text x=\"{:.1f}\" y=\"{:.1f}\" font-size=\"11\" text-anchor=\"middle\">{:.4g}</text>\n",
                       x(i), top + plotHeight + 18, p.levelTimes[static_cast<std::size_t>(i)]);
  }
  svg += fmt::format("<text x=\"{:.1f}\" y=\"{:.1f}\" font-size=\"12\" text-anchor=\"middle\">time (years)</text>\n",
                     left + plotWidth / 2, top + plotHeight + 42);
  svg += fmt::format(
      "<text transform=\"translate(24 {:.1f}) rotate(-90)\" font-size=\"12\" text-anchor=\"middle\">"
      "one-step short rate</text>\n",
      top + plotHeight / 2);

  // Branches: every node to its three successors; the last step's carry
  // their probabilities close to the node they leave, before the branches
  // of neighbouring nodes cross, so that each node's three read together.
  svg += "<g stroke=\"#9aa\" stroke-width=\"1\" opacity=\"0.8\">\n";
  for (int i = 0; i + 1 < levels; ++i) {
    const int n = p.nodeCounts[static_cast<std::size_t>(i)];
    const int next = p.nodeCounts[static_cast<std::size_t>(i) + 1];
    for (int j = 0; j < n; ++j) {
      const int m = MiddleSuccessor(n, next, j);
      for (int k = std::max(m - 1, 0); k <= std::min(m + 1, next - 1); ++k) {
        svg += fmt::format("<line x1=\"{:.1f}\" y1=\"{:.1f}\" x2=\"{:.1f}\" y2=\"{:.1f}\"/>\n", x(i),
                           y(rateAt(i, j)), x(i + 1), y(rateAt(i + 1, k)));
      }
    }
  }
  svg += "</g>\n";
  if (levels >= 2) {
    const int i = levels - 2;
    const int n = p.nodeCounts[static_cast<std::size_t>(i)];
    const int next = p.nodeCounts.back();
    const double fontSize = n <= 9 ? 10 : 9;
    svg += fmt::format("<g font-size=\"{}\" fill=\"#345\" text-anchor=\"middle\">\n", fontSize);
    for (int j = 0; j < n && static_cast<std::size_t>(j) < p.pUp.size(); ++j) {
      const int m = MiddleSuccessor(n, next, j);
      const double probability[3] = {p.pDown[static_cast<std::size_t>(j)], p.pMiddle[static_cast<std::size_t>(j)],
                                     p.pUp[static_cast<std::size_t>(j)]};
      for (int b = 0; b < 3; ++b) {
        const int k = m - 1 + b;
        if (k < 0 || k >= next) continue;
        const double f = 0.3;
        const double lx = x(i) + f * (x(i + 1) - x(i));
        const double ly = y(rateAt(i, j)) + f * (y(rateAt(i + 1, k)) - y(rateAt(i, j)));
        svg += fmt::format("<text x=\"{:.1f}\" y=\"{:.1f}\">{:.3f}</text>\n", lx, ly - 2, probability[b]);
      }
    }
    svg += "</g>\n";
  }

  // Nodes on top.
  const double radius = labelled ? 6.0 : 4.5;
  for (int i = 0; i < levels; ++i) {
    for (int j = 0; j < p.nodeCounts[static_cast<std::size_t>(i)]; ++j) {
      const std::size_t r = p.Row(i, j);
      const double cx = x(i), cy = y(p.rates[r]);
      // The node's values as a tooltip, also where no label fits.
      const std::string title = fmt::format(
          "<title>level {} node {}: time {:.6g}, short rate {:.6g}%, option value {:.6g}, bond price {:.6g}, "
          "{}</title>",
          i, j, p.levelTimes[static_cast<std::size_t>(i)], 100.0 * p.rates[r], p.values[r], p.bondPrices[r],
          p.exercised[r] ? "exercised" : "held");
      if (p.exercised[r]) {
        const double d = radius * 1.4;
        svg += fmt::format("<path class=\"node exercised\" d=\"M{0:.1f} {1:.1f} L{2:.1f} {3:.1f} L{0:.1f} {4:.1f} "
                           "L{5:.1f} {3:.1f} Z\" fill=\"#d62728\">{6}</path>\n",
                           cx, cy - d, cx + d, cy, cy + d, cx - d, title);
      } else {
        const char* fill = p.values[r] > 0 ? "#1f77b4" : "white";
        svg += fmt::format("<circle class=\"node\" cx=\"{:.1f}\" cy=\"{:.1f}\" r=\"{:.1f}\" fill=\"{}\" "
                           "stroke=\"#1f77b4\" stroke-width=\"1.5\">{}</circle>\n",
                           cx, cy, radius, fill, title);
      }
      if (labelled) {
        // Left of the node on the level before the last, whose right side
        // carries the probabilities.
        const bool leftSide = i == levels - 2;
        svg += fmt::format(
            "<g font-size=\"10\" text-anchor=\"{5}\"><text x=\"{0:.1f}\" y=\"{1:.1f}\">V {2:.4f}</text>"
            "<text x=\"{0:.1f}\" y=\"{3:.1f}\" fill=\"#666\">B {4:.3f}</text></g>\n",
            leftSide ? cx - 9 : cx + 9, cy - 2, p.values[r], cy + 9, p.bondPrices[r], leftSide ? "end" : "start");
      }
    }
  }

  // Legend.
  const double lx = left + 10, ly = 56;
  svg += fmt::format(
      "<g font-size=\"12\"><circle cx=\"{0}\" cy=\"{1}\" r=\"5\" fill=\"#1f77b4\" stroke=\"#1f77b4\"/>"
      "<text x=\"{2}\" y=\"{3}\">held, worth something</text>"
      "<circle cx=\"{4}\" cy=\"{1}\" r=\"5\" fill=\"white\" stroke=\"#1f77b4\" stroke-width=\"1.5\"/>"
      "<text x=\"{5}\" y=\"{3}\">held, worth 0</text>"
      "<path d=\"M{6} {7} L{8} {1} L{6} {9} L{10} {1} Z\" fill=\"#d62728\"/>"
      "<text x=\"{11}\" y=\"{3}\">exercised</text>"
      "<text x=\"{12}\" y=\"{3}\" fill=\"#555\">{13}</text></g>\n",
      lx, ly, lx + 9, ly + 4, lx + 170, lx + 179, lx + 290, ly - 7, lx + 297, ly + 7, lx + 283, lx + 304, lx + 390,
      labelled ? "V option value, B dirty bond price; last step: branch probabilities"
               : "last step: branch probabilities");
  svg += "</svg>\n";
  return svg;
}

}  // namespace lorvex_cli
