#include "hwtree/lattice_level.h"

namespace lorvex {

void LatticeLevel::Reserve(std::size_t n) {
  for (auto* v : {&rate, &discount, &pUp, &pMiddle, &pDown}) v->resize(n);
  successor.resize(n);
}

void RollbackLevel(const LatticeLevel& level, const double* next, double* values) {
  const double* disc = level.discount.data();
  const double* pu = level.pUp.data();
  const double* pm = level.pMiddle.data();
  const double* pd = level.pDown.data();
  const int* succ = level.successor.data();
  for (int j = 0; j < level.count; ++j) {
    const double* s = next + succ[j];
    values[j] = disc[j] * (pm[j] * s[0] + (pu[j] * s[1] + pd[j] * s[-1]));
  }
}

}  // namespace lorvex
