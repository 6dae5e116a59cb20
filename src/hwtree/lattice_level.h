// One level of the Hull-White lattice as the backward passes read it: the
// node short rates, the one-step discount factors and the branching of every
// node, in arrays (node 0 the lowest rate).
//
// The lattice keeps none of these per node (HullWhiteTree::LoadLevel
// computes them from the level's fitted shift and geometry, to the last bit
// what the fit used), so a tree of millions of nodes costs memory in
// proportion to its width, not to its node count. One LatticeLevel serves
// the pricer's rollback, the node yields' walk and the node curves of the
// same level; its arrays are sized once for the widest level and reused.
#pragma once

#include <cstddef>
#include <vector>

namespace lorvex {

struct LatticeLevel {
  int index = -1;     // the level i; -1 before the first load
  int count = 0;      // its nodes
  double date = 0.0;  // level date (Julian day, possibly fractional)
  double nextDate = 0.0;
  double dt = 0.0;    // days to the next level
  double dx = 0.0;    // state spacing
  // Per node (count entries): the one-step rate, exp(-rate dt / 365), the
  // index of the middle successor in level index + 1 (on the last level,
  // which has no successors, the offset from the centre the branching would
  // have) and the three branch probabilities, the middle one as
  // 1 - pUp - pDown.
  std::vector<double> rate, discount, pUp, pMiddle, pDown;
  std::vector<int> successor;
  // On trees whose rates stay above 0 (lognormal and shape), the nodes
  // [reachFrom, reachTo) hold all of the level's Arrow-Debreu prices but a
  // share below kNegligibleStateShare each: a node outside is reached with
  // a probability below 1e-30 of the level's (more than eleven standard
  // deviations out). There a bond is worth at most its flows and a bond
  // option's exercise value at most the flows or the strike, so an exercise
  // decision there moves the value at the root by less than 1e-30 of that,
  // far below the last bit of any price. Pricers skip their costly per-node
  // work (a bond priced off the node's own curve) there; the rollback
  // itself still covers every node. On a normal tree the far nodes' rates
  // fall far below 0 and their bond prices grow without bound, so every
  // node is in reach.
  int reachFrom = 0;
  int reachTo = 0;

  // Room for levels of up to n nodes, so that loads allocate nothing.
  void Reserve(std::size_t n);
};

// values[j] = discount_j * E[next over the three successors of node j], for
// every node of the level; next holds the values of the level after it.
void RollbackLevel(const LatticeLevel& level, const double* next, double* values);

}  // namespace lorvex
