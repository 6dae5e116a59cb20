// The whole binomial stock tree with every node's price, option value and
// exercise decision, for display. Pricing alone uses PriceEquityOption
// (equity_option.h), which keeps one row of values and gives the same
// numbers to the last bit.
#pragma once

#include <cstdint>
#include <memory>

#include "equity/equity_lattice.h"

namespace lorvex {

class ZeroCurve;

// Most storage a full tree may take: 256 MiB, about 5,600 steps at 17 bytes a
// node. A larger tree is refused before anything is allocated, so a request
// for a huge tree fails with a status instead of exhausting the caller's
// memory (a 32-bit spreadsheet process has 2 GiB in all).
inline constexpr std::uint64_t kEquityTreeBudgetBytes = 256ull << 20;

class EquityTree {
 public:
  // Builds and values the whole tree, expiry back to today. status() is 0,
  // or -1 when the tree would exceed kEquityTreeBudgetBytes or memory ran
  // out. The terms must pass EquityTermsAccepted and give a usable lattice.
  // The dividend list is read during construction only.
  EquityTree(const EquityOptionTerms& terms, const ZeroCurve& dividends);

  int status() const { return status_; }

  // Bytes the tree of this many steps holds.
  static std::uint64_t StorageBytes(int steps);

  int Steps() const { return terms_.steps; }
  const EquityLattice& Lattice() const { return lattice_; }
  double LevelTime(int k) const { return static_cast<double>(k) * lattice_.dt; }
  double DividendAddOnAt(int k) const { return addOn_[static_cast<std::size_t>(k)]; }

  // Node m (0 = lowest price) of level k; 0 <= m <= k <= N, not checked.
  double PriceAt(int k, int m) const { return price_[Row(k, m)]; }
  double ValueAt(int k, int m) const { return value_[Row(k, m)]; }
  bool ExercisedAt(int k, int m) const { return exercised_[Row(k, m)] != 0; }

 private:
  friend struct FullTreeRows;
  // Level k starts at row k(k + 1)/2.
  static std::size_t Row(int k, int m) {
    const auto kk = static_cast<std::size_t>(k);
    return kk * (kk + 1) / 2 + static_cast<std::size_t>(m);
  }

  EquityOptionTerms terms_;
  EquityLattice lattice_;
  std::unique_ptr<double[]> price_;
  std::unique_ptr<double[]> value_;
  std::unique_ptr<std::uint8_t[]> exercised_;
  std::unique_ptr<double[]> addOn_;
  int status_ = 0;
};

}  // namespace lorvex
