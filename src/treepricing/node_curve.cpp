#include "treepricing/node_curve.h"

#include <algorithm>
#include <new>

namespace lorvex {

NodeCurveBuilder::NodeCurveBuilder(const HullWhiteTree& tree) : tree_(tree) {
  // Level 0 lists every maturity; later levels list fewer.
  const int widest = tree.levelCount() > 0 ? tree.MaturityCount(0) : 0;
  curve_.Reserve(static_cast<std::size_t>(widest) + 1);
  try {
    terms_.resize(static_cast<std::size_t>(widest) + 1);
  } catch (const std::bad_alloc&) {
    status_ = -1;
  }
  if (curve_.status() != 0) status_ = -1;
}

void NodeCurveBuilder::PrepareLevel(int i) {
  level_ = i;
  const int cnt = tree_.MaturityCount(i);
  const double* dates = tree_.MaturityDates(i);  // latest first
  const double levelDate = tree_.LevelDate(i);
  const double nextDate = tree_.LevelDate(i + 1);
  nextIsMaturity_ = std::find(dates, dates + cnt, nextDate) != dates + cnt;
  if (tree_.kind() != 0) return;
  for (int k = 0; k < cnt; ++k) {
    terms_[static_cast<std::size_t>(k)] = tree_.TenorRateTerms(i, dates[cnt - 1 - k] - levelDate);
  }
  terms_[static_cast<std::size_t>(cnt)] = tree_.TenorRateTerms(i, nextDate - levelDate);
}

const ZeroCurve* NodeCurveBuilder::Build(int j) {
  const int i = level_;
  const int cnt = tree_.MaturityCount(i);
  const double* dates = tree_.MaturityDates(i);
  const bool normal = tree_.kind() == 0;
  const double* yields = tree_.NodeYields(i, j);
  if (!normal && yields == nullptr && cnt > 0) return nullptr;
  const double rate = tree_.NodeRate(i, j);
  curve_.Clear();
  // The maturities come latest first: walking them backwards appends in
  // ascending order.
  for (int k = 0; k < cnt; ++k) {
    const int src = cnt - 1 - k;
    const double y = normal ? HullWhiteTree::TenorRateFromTerms(terms_[static_cast<std::size_t>(k)], rate)
                            : yields[src];
    if (curve_.Insert(dates[src], y) != 0) return nullptr;
  }
  if (!nextIsMaturity_) {
    const double y =
        normal ? HullWhiteTree::TenorRateFromTerms(terms_[static_cast<std::size_t>(cnt)], rate) : rate;
    if (curve_.Insert(tree_.LevelDate(i + 1), y) != 0) return nullptr;
  }
  return &curve_;
}

}  // namespace lorvex
