// A binomial stock tree drawn as a standalone SVG picture.
#pragma once

#include <string>
#include <vector>

namespace lorvex_cli {

struct EquityTreePicture {
  std::string title;
  int steps = 0;
  std::vector<double> levelTimes;  // k = 0..N, years
  // Row k(k+1)/2 + m holds node m (lowest price first) of level k.
  std::vector<double> values, prices;
  std::vector<bool> exercised;
};

// Nodes placed by time (across) and stock price (up; a log scale when every
// price is positive), joined to their two successors. Early-exercise nodes
// are red diamonds, expiry nodes that pay off are green; trees of up to 8
// steps carry each node's price and option value.
std::string EquityTreeSvg(const EquityTreePicture& picture);

}  // namespace lorvex_cli
