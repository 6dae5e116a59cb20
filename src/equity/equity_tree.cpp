#include "equity/equity_tree.h"

#include <cstdint>
#include <new>

#include "equity/equity_induction.h"

namespace lorvex {

// Rows of the induction laid over the tree's flat node arrays.
struct FullTreeRows {
  EquityTree& tree;
  double* Value(int k) { return tree.value_.get() + EquityTree::Row(k, 0); }
  const double* Next(int k) { return tree.value_.get() + EquityTree::Row(k + 1, 0); }
  bool Keep(int) const { return true; }
  double* Price(int k) { return tree.price_.get() + EquityTree::Row(k, 0); }
  std::uint8_t* Exercised(int k) { return tree.exercised_.get() + EquityTree::Row(k, 0); }
  void SetAddOn(int k, double addOn) { tree.addOn_[static_cast<std::size_t>(k)] = addOn; }
};

std::uint64_t EquityTree::StorageBytes(int steps) {
  // Far beyond any budget; keeps the products below from overflowing.
  if (steps > 10000000) return UINT64_MAX;
  const auto n = static_cast<std::uint64_t>(steps < 0 ? 0 : steps);
  const std::uint64_t nodes = (n + 1) * (n + 2) / 2;
  return nodes * (2 * sizeof(double) + sizeof(std::uint8_t)) + (n + 1) * sizeof(double) +
         (2 * n + 1) * sizeof(double);
}

EquityTree::EquityTree(const EquityOptionTerms& terms, const ZeroCurve& dividends)
    : terms_(terms), lattice_(MakeEquityLattice(terms)) {
  if (terms.steps < 0 || StorageBytes(terms.steps) > kEquityTreeBudgetBytes) {
    status_ = -1;
    return;
  }
  const std::size_t levels = static_cast<std::size_t>(terms.steps) + 1;
  const std::size_t nodes = levels * (levels + 1) / 2;
  price_.reset(new (std::nothrow) double[nodes]);
  value_.reset(new (std::nothrow) double[nodes]);
  exercised_.reset(new (std::nothrow) std::uint8_t[nodes]);
  addOn_.reset(new (std::nothrow) double[levels]);
  detail::UpPowers powers(lattice_.up, terms.steps);
  if (!price_ || !value_ || !exercised_ || !addOn_ || !powers.ok()) {
    status_ = -1;
    return;
  }
  FullTreeRows rows{*this};
  detail::InductAny(terms_, lattice_, powers.Centre(), dividends, rows);
}

}  // namespace lorvex
