// The Hull-White tree of a bond option, as HW_TreeBondDisplay writes it
// into its arrays, read back and drawn as a standalone SVG picture.
#pragma once

#include <string>
#include <vector>

#include "lorvex/lorvex.h"

namespace lorvex_cli {

struct BondTreePicture {
  std::string title;
  // Per level, from the valuation date to the expiry.
  std::vector<double> levelTimes;  // years
  std::vector<double> accrued;     // the bond's accrued interest at the level's date
  std::vector<int> nodeCounts;
  // Per node, level by level, lowest rate first.
  std::vector<double> values, bondPrices, rates;
  std::vector<bool> exercised;
  // Per node of the level before the last: the last step's branching.
  std::vector<double> pUp, pMiddle, pDown;

  std::size_t NodeCount() const { return values.size(); }
  // Row of node j of level i in the per-node lists.
  std::size_t Row(int level, int node) const;
};

// Reads the arrays a successful HW_TreeBondDisplay call filled (rows from
// index 0): the levels are the level rows with at least one node.
BondTreePicture ReadBondTree(SAFEARRAY* nodes, SAFEARRAY* levels, SAFEARRAY* probabilities);

// Middle successor, in the next level, of node j of a level of n nodes when
// the next has `next`: the same offset from the centre, turned inward at an
// edge where the lattice has stopped widening (the Hull-White branching of
// equal steps).
int MiddleSuccessor(int n, int next, int j);

// Nodes placed by time (across) and short rate (up), each joined to its
// three successors; exercised nodes are red diamonds, held ones circles
// (filled when the option is worth something there). The branches of the
// last step carry their probabilities; trees of up to 6 steps carry each
// node's option value and bond price. Every node mark has class "node".
std::string BondTreeSvg(const BondTreePicture& picture);

}  // namespace lorvex_cli
