#include "equity/equity_option.h"

#include <memory>
#include <new>

#include "equity/equity_induction.h"
#include "equity/equity_tree.h"
#include "market/constants.h"

namespace lorvex {
namespace {

// One row of values, overwritten level by level; levels 0 to 2 are also kept
// with their prices for the Greeks.
struct RollingRows {
  double* row;
  double levelValue[3][3];
  double levelPrice[3][3];
  std::uint8_t levelExercised[3][3];

  double* Value(int k) { return k <= 2 ? levelValue[k] : row; }
  const double* Next(int k) { return k + 1 <= 2 ? levelValue[k + 1] : row; }
  bool Keep(int k) const { return k <= 2; }
  double* Price(int k) { return levelPrice[k]; }
  std::uint8_t* Exercised(int k) { return levelExercised[k]; }
  void SetAddOn(int, double) {}
};

}  // namespace

EquityGreeks GreeksFromLevels(double v00, const double v1[2], const double p1[2], const double v2[3],
                              const double p2[3], double dt) {
  EquityGreeks g{};
  g.value = v00;
  g.gamma = 2.0 * ((v2[2] - v2[1]) / (p2[2] - p2[1]) - (v2[1] - v2[0]) / (p2[1] - p2[0])) /
            (p2[2] - p2[0]);
  g.delta = (v1[1] - v1[0]) / (p1[1] - p1[0]);
  g.theta = (v2[1] - v00) / (2.0 * dt) * kYearsPerDay;  // per calendar day
  return g;
}

EquityGreeks GreeksFromTree(const EquityTree& tree) {
  const double v1[2] = {tree.ValueAt(1, 0), tree.ValueAt(1, 1)};
  const double p1[2] = {tree.PriceAt(1, 0), tree.PriceAt(1, 1)};
  const double v2[3] = {tree.ValueAt(2, 0), tree.ValueAt(2, 1), tree.ValueAt(2, 2)};
  const double p2[3] = {tree.PriceAt(2, 0), tree.PriceAt(2, 1), tree.PriceAt(2, 2)};
  return GreeksFromLevels(tree.ValueAt(0, 0), v1, p1, v2, p2, tree.Lattice().dt);
}

int PriceEquityOption(const EquityOptionTerms& terms, const ZeroCurve& dividends,
                      EquityGreeks* greeks) {
  const EquityLattice lattice = MakeEquityLattice(terms);
  detail::UpPowers powers(lattice.up, terms.steps);
  std::unique_ptr<double[]> row(new (std::nothrow) double[static_cast<std::size_t>(terms.steps) + 1]);
  if (!powers.ok() || !row) return -1;
  RollingRows rows{};
  rows.row = row.get();
  // Level 2 reads level 3 from the row; with N = 2 the expiry level is kept
  // directly, so the row is never read.
  detail::InductAny(terms, lattice, powers.Centre(), dividends, rows);
  *greeks = GreeksFromLevels(rows.levelValue[0][0], rows.levelValue[1], rows.levelPrice[1],
                             rows.levelValue[2], rows.levelPrice[2], lattice.dt);
  return 0;
}

}  // namespace lorvex
