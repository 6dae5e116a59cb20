#include "treepricing/tree_bond_option.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "market/constants.h"
#include "treepricing/node_curve.h"
#include "treepricing/tree_rollback.h"

namespace lorvex {

void TreeNodeSlots::Reset(const HullWhiteTree& tree) {
  const int levels = tree.expiryLevel() + 1;
  begin_.assign(static_cast<std::size_t>(levels), 0);
  std::size_t total = 0;
  for (int i = 0; i < levels; ++i) {
    begin_[static_cast<std::size_t>(i)] = total;
    total += static_cast<std::size_t>(tree.LevelNodeCount(i)) * kSlots;
  }
  values_.assign(total, 0.0);
}

namespace {

// The bond's dirty value at a level's whole day off each node's curve:
// BondSchedule::ForwardPrice(day, day, node curve), with the curve's
// linear interpolation laid out once per level (the two points around each
// flow's date and the distances between them), so that a node costs one
// rate per point read and one exponential per flow.
class BondNodePricer {
 public:
  BondNodePricer(const BondSchedule& bond, NodeCurves& curves) : bond_(bond), curves_(curves) {
    flows_.reserve(static_cast<std::size_t>(bond.Count()));
  }

  bool PrepareLevel(int i, int day) {
    if (!curves_.PrepareLevel(i)) return false;
    const std::vector<double>& dates = curves_.PointDates();
    rates_.assign(dates.size(), 0.0);
    needed_.clear();
    std::vector<char> read(dates.size(), 0);
    auto place = [&](double x) {
      Read r{};
      const auto n = static_cast<int>(dates.size());
      if (x < dates.front()) {
        r.p0 = 0;
        r.p1 = -1;
      } else if (!(x < dates.back())) {
        r.p0 = n - 1;
        r.p1 = -1;
      } else {
        const auto hi = static_cast<int>(std::upper_bound(dates.begin(), dates.end(), x) - dates.begin());
        r.p0 = hi - 1;
        r.p1 = hi;
        r.c1 = x - dates[static_cast<std::size_t>(r.p0)];
        r.c2 = dates[static_cast<std::size_t>(r.p1)] - dates[static_cast<std::size_t>(r.p0)];
      }
      for (int p : {r.p0, r.p1}) {
        if (p >= 0 && !read[static_cast<std::size_t>(p)]) {
          read[static_cast<std::size_t>(p)] = 1;
          needed_.push_back(p);
        }
      }
      return r;
    };
    flows_.clear();
    for (const CouponPeriod& p : bond_.Periods()) {
      if (p.end > day) {
        Flow f;
        f.amount = p.coupon + p.principal;
        f.days = static_cast<double>(p.end - day);
        f.at = place(p.end);
        flows_.push_back(f);
      }
    }
    spot_ = place(day);
    // The recurrence of PriceLevel needs finite factors and a finite rate
    // at the day itself (then the divisor of ForwardPrice is exactly 1).
    normalLevel_ = curves_.kind() == 0;
    for (Flow& f : flows_) {
      const double b0 = normalLevel_ ? PointSlope(f.at.p0) : 0.0;
      f.slope = f.at.p1 < 0 || !normalLevel_ ? b0 : b0 + (PointSlope(f.at.p1) - b0) * f.at.c1 / f.at.c2;
      if (!std::isfinite(f.slope)) normalLevel_ = false;
    }
    if (normalLevel_) {
      const double* r = curves_.LevelRates();
      const int n = curves_.NodeCount();
      for (int j : {0, n - 1}) {
        if (!std::isfinite(NormalRate(spot_, r[j]))) normalLevel_ = false;
      }
    }
    return true;
  }

  double Price(int j) {
    if (bond_.Count() == 0) return 0.0;  // an empty bond prices to 0
    for (int p : needed_) rates_[static_cast<std::size_t>(p)] = curves_.PointRate(j, p);
    double sum = 0.0;
    for (const Flow& f : flows_) {
      const double r = Rate(f.at);
      sum += f.amount * std::exp(-r * f.days / kDaysPerYear);
    }
    // Seen from the day itself the discount to it is exp(-r * 0) = 1,
    // unless the curve reads no number there.
    const double rb = Rate(spot_);
    if (!std::isfinite(rb)) return sum / std::exp(-rb * 0.0 / kDaysPerYear);
    return sum;
  }

  // The prices of the level's n nodes. On the normal tree a node curve's
  // rates are affine in the node's rate, y = A + B r, and the rates of a
  // level are equally spaced (dx apart), so from one node to the next each
  // flow's discount factor is multiplied by exp(-B dx days / 365): one
  // exponential per flow every kAnchor nodes, where the factor is taken
  // afresh (exactly as Price takes it) to keep the rounding of the
  // products below kAnchor ulps. Other kinds price node by node.
  void PriceLevel(int n, double dx, double* prices) {
    if (!normalLevel_ || bond_.Count() == 0) {
      for (int j = 0; j < n; ++j) prices[j] = Price(j);
      return;
    }
    const double* r = curves_.LevelRates();
    std::fill(prices, prices + n, 0.0);
    for (const Flow& f : flows_) {
      const double g = std::exp(-(f.slope * dx) * f.days / kDaysPerYear);
      double df = 0.0;
      for (int j = 0; j < n; ++j) {
        if (j % kAnchor == 0) {
          df = std::exp(-NormalRate(f.at, r[j]) * f.days / kDaysPerYear);
        } else {
          df *= g;
        }
        prices[j] += f.amount * df;
      }
    }
  }

 private:
  static constexpr int kAnchor = 8;
  struct Read {
    int p0 = 0;
    int p1 = -1;  // -1: flat beyond an end, the rate of p0
    double c1 = 0.0;
    double c2 = 1.0;
  };
  struct Flow {
    double amount = 0.0;
    double days = 0.0;
    Read at;
    double slope = 0.0;  // kind 0: B of the flow's interpolated rate
  };
  // Kind 0: the rate at a read for node rate r, as Price computes it.
  double NormalRate(const Read& at, double r) const {
    const double y0 = HullWhiteTree::TenorRateFromTerms(curves_.PointTerms(at.p0), r);
    if (at.p1 < 0) return y0;
    const double y1 = HullWhiteTree::TenorRateFromTerms(curves_.PointTerms(at.p1), r);
    return y0 + (y1 - y0) * at.c1 / at.c2;
  }
  // dy/dr of a point's closed-form rate.
  double PointSlope(int p) const {
    const HullWhiteTree::TenorTerms& t = curves_.PointTerms(p);
    return 365.0 * t.b2 * t.dtY / t.b1 / t.days;
  }
  double Rate(const Read& r) const {
    const double y0 = rates_[static_cast<std::size_t>(r.p0)];
    if (r.p1 < 0) return y0;
    return y0 + (rates_[static_cast<std::size_t>(r.p1)] - y0) * r.c1 / r.c2;
  }

  const BondSchedule& bond_;
  NodeCurves& curves_;
  std::vector<Flow> flows_;
  Read spot_;
  std::vector<int> needed_;
  std::vector<double> rates_;
  bool normalLevel_ = false;
};

class BondOptionOnTree : public TreeInstrument {
 public:
  BondOptionOnTree(const ZeroCurve& exercise, bool isAmerican, bool isPut, BondSchedule& bond,
                   const HullWhiteTree& tree, bool isClean, TreeNodeSlots* slots)
      : exercise_(exercise),
        isAmerican_(isAmerican),
        isPut_(isPut),
        isClean_(isClean),
        bond_(bond),
        tree_(tree),
        curves_(tree),
        pricer_(bond, curves_),
        slots_(slots),
        prices_(static_cast<std::size_t>(tree.MaxNodeCount())) {}

  bool usable() const { return curves_.status() == 0; }

  bool AdjustValues(int i, double* values) override {
    const double di = tree_.LevelDate(i);
    bool exercisable = false;
    double strike = 0.0;
    if (isAmerican_) {
      if (!exercise_.Empty()) {
        exercisable = exercise_.XAt(1) <= di && di <= exercise_.XAt(exercise_.Count());
        strike = exercise_.YAt(1);
      }
    } else if (const CurvePoint* p = exercise_.Find(di)) {
      exercisable = true;
      strike = p->y;
    }
    const bool priceBond = exercisable || slots_ != nullptr;
    const int day = static_cast<int>(di);
    if (priceBond && !pricer_.PrepareLevel(i, day)) return false;
    const double accrued = exercisable && isClean_ ? bond_.AccruedInterest(di) : 0.0;
    const int nodes = tree_.LevelNodeCount(i);
    if (priceBond) pricer_.PriceLevel(nodes, tree_.LevelDx(i), prices_.data());
    for (int j = 0; j < nodes; ++j) {
      double exerciseValue = 0.0;
      if (priceBond) {
        double price = prices_[static_cast<std::size_t>(j)];
        if (slots_ != nullptr) slots_->SetNodeValue(i, j, 1, price);
        if (exercisable) {
          if (isClean_) price -= accrued;
          exerciseValue = isPut_ ? std::max(strike - price, 0.0) : std::max(price - strike, 0.0);
        }
      }
      const double continuation = values[j];
      // A tie keeps the continuation value.
      values[j] = exerciseValue > continuation ? exerciseValue : continuation;
      if (slots_ != nullptr) {
        slots_->SetNodeValue(i, j, 2, exerciseValue > continuation && exerciseValue > 0.0 ? 1.0 : -1.0);
        slots_->SetNodeValue(i, j, 0, values[j]);
      }
    }
    return true;
  }

 private:
  const ZeroCurve& exercise_;
  bool isAmerican_;
  bool isPut_;
  bool isClean_;
  BondSchedule& bond_;
  const HullWhiteTree& tree_;
  NodeCurves curves_;
  BondNodePricer pricer_;
  TreeNodeSlots* slots_;
  std::vector<double> prices_;  // the bond at each node of the level
};

}  // namespace

double TreeBondOptionRollback(const ZeroCurve& exerciseSchedule, bool isAmerican, bool isPut,
                              BondSchedule& bond, const HullWhiteTree& tree, bool isClean,
                              TreeNodeSlots* slots) {
  if (tree.status() != 0) return 0.0;
  if (slots != nullptr) slots->Reset(tree);
  BondOptionOnTree option(exerciseSchedule, isAmerican, isPut, bond, tree, isClean, slots);
  if (!option.usable()) return 0.0;
  return RollBack(tree, option);
}

}  // namespace lorvex
