#include "treepricing/bond_node_prices.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "market/constants.h"

namespace lorvex {

namespace {

// The number of curve point p (-1: none) among the points a level reads,
// adding make(p) to the list the first time.
template <class List, class Make>
int NumberPoint(int p, std::vector<int>& numberOf, List& list, Make make) {
  if (p < 0) return -1;
  int& k = numberOf[static_cast<std::size_t>(p)];
  if (k < 0) {
    k = static_cast<int>(list.size());
    list.push_back(make(p));
  }
  return k;
}

}  // namespace

BondNodePrices::BondNodePrices(const BondSchedule& bond, NodeCurves& curves) : bond_(bond), curves_(curves) {
  const auto n = static_cast<std::size_t>(bond.Count());
  flows_.reserve(n);
  normalFlows_.reserve(n);
  anchor_.reserve(n);
  const auto points = static_cast<std::size_t>(curves.MaxPointCount());
  points_.reserve(points);
  pointOf_.assign(points, -1);
  pointRate_.reserve(points);
  logFlows_.reserve(n);
  powerFlows_.reserve(n);
  linearFlows_.reserve(n);
  otherFlows_.reserve(n);
  logPoints_.reserve(points);
  logOf_.assign(points, -1);
  rates_.reserve(points);
}

void BondNodePrices::PrepareLevel(int day) {
  flows_.clear();
  for (const CouponPeriod& p : bond_.Periods()) {
    if (p.end > day) flows_.push_back({p.coupon + p.principal, static_cast<double>(p.end - day), curves_.Place(p.end)});
  }
  spot_ = curves_.Place(day);
  normalLevel_ = curves_.kind() == 0 && bond_.Count() != 0 && PrepareNormalLevel();
  logLevel_ = curves_.kind() != 0 && bond_.Count() != 0 && PrepareLogLevel();
}

double BondNodePrices::Price(int j) {
  if (bond_.Count() == 0) return 0.0;  // an empty bond prices to 0
  curves_.LoadNode(j);
  double sum = 0.0;
  for (const Flow& f : flows_) {
    const double r = curves_.Rate(f.at);
    sum += f.amount * std::exp(-r * f.days / kDaysPerYear);
  }
  // Seen from the day itself the discount to it is exp(-r * 0) = 1,
  // unless the curve reads no number there.
  const double rb = curves_.Rate(spot_);
  if (!std::isfinite(rb)) return sum / std::exp(-rb * 0.0 / kDaysPerYear);
  return sum;
}

void BondNodePrices::PriceLevel(double* prices) {
  if (normalLevel_) {
    PriceNormalLevel(prices);
    return;
  }
  const int n = curves_.level().count;
  for (int j = 0; j < n; ++j) prices[j] = PriceNode(j);
}

double BondNodePrices::PriceNode(int j) { return logLevel_ ? PriceLogNode(j) : Price(j); }

// The points the flows and the day read, numbered, and each flow's
// exponents for the bounds.
bool BondNodePrices::PrepareLogLevel() {
  std::fill(logOf_.begin(), logOf_.end(), -1);
  logPoints_.clear();
  auto number = [this](int p) {
    return NumberPoint(p, logOf_, logPoints_, [this](int q) {
      const int source = curves_.PointSource(q);
      const double tau = source < 0 ? 0.0 : curves_.PointTau(q);
      return LogPoint{source, tau, source >= 0 && tau > 0.0, source == 0 && !(tau > 0.0)};
    });
  };
  logFlows_.clear();
  bounded_ = true;
  for (const Flow& f : flows_) {
    LogFlow lf{f.amount, f.days, number(f.at.p0), number(f.at.p1), f.at.c1, f.at.c2};
    // R = y0 + (y1 - y0) w; exp(-R d) is the product over the two points of
    // exp(-e y) with e the point's weight times d, which for a point read
    // from a bond price (y = -ln P / tau) is P^(e / tau).
    const double d = f.days / kDaysPerYear;
    const double w = lf.l1 >= 0 ? f.at.c1 / f.at.c2 : 0.0;
    auto factor = [this](int k, double weight, Factor& kind, std::size_t& source, double& e) {
      kind = Factor::kOne;
      source = 0;
      e = 0.0;
      if (k < 0 || weight == 0.0) return true;
      const LogPoint& p = logPoints_[static_cast<std::size_t>(k)];
      if (p.zero) return true;
      if (!p.fromPrice) {
        kind = Factor::kRate;
        e = weight;
      } else {
        e = weight / p.tau;
        kind = e >= 1.0 ? Factor::kPowerAbove1 : Factor::kPowerBelow1;
        source = static_cast<std::size_t>(p.source);
      }
      return std::isfinite(e) && e >= 0.0;
    };
    const bool ok0 = factor(lf.l0, (1.0 - w) * d, lf.kind0, lf.source0, lf.e0);
    const bool ok1 = factor(lf.l1, w * d, lf.kind1, lf.source1, lf.e1);
    bounded_ = bounded_ && ok0 && ok1 && f.amount >= 0.0;
    logFlows_.push_back(lf);
  }
  powerFlows_.clear();
  linearFlows_.clear();
  otherFlows_.clear();
  // A price factor's upper bound as a + b P (P^e <= P needing P <= 1).
  auto linear = [](Factor kind, double e, double& a, double& b) {
    a = kind == Factor::kPowerBelow1 ? 1.0 - e : kind == Factor::kOne ? 1.0 : 0.0;
    b = kind == Factor::kPowerBelow1 ? e : kind == Factor::kOne ? 0.0 : 1.0;
  };
  for (const LogFlow& lf : logFlows_) {
    if (lf.kind0 == Factor::kPowerAbove1 && lf.kind1 == Factor::kOne) {
      powerFlows_.push_back({lf.amount, lf.source0, lf.e0 - 1.0});
      continue;
    }
    otherFlows_.push_back(&lf);
    if (lf.kind0 != Factor::kRate && lf.kind1 != Factor::kRate) {
      LinearFlow f{lf.amount, lf.source0,   lf.source1, 0.0, 0.0, 0.0, 0.0, lf.kind0 == Factor::kPowerAbove1,
                   lf.kind1 == Factor::kPowerAbove1};
      linear(lf.kind0, lf.e0, f.a0, f.b0);
      linear(lf.kind1, lf.e1, f.a1, f.b1);
      linearFlows_.push_back(f);
    }
  }
  spot0_ = number(spot_.p0);
  spot1_ = number(spot_.p1);
  rates_.resize(logPoints_.size());
  return true;
}

// Price's arithmetic on the numbered points.
double BondNodePrices::PriceLogNode(int j) {
  const LatticeLevel& level = curves_.level();
  const double* p = curves_.NodeBondPrices(j);
  const double r = level.rate[static_cast<std::size_t>(j)];
  const std::size_t points = logPoints_.size();
  for (std::size_t k = 0; k < points; ++k) {
    const LogPoint& lp = logPoints_[k];
    rates_[k] = lp.fromPrice ? -std::log(p[lp.source]) / lp.tau : lp.zero ? 0.0 : r;
  }
  double sum = 0.0;
  for (const LogFlow& f : logFlows_) {
    const double y0 = rates_[static_cast<std::size_t>(f.l0)];
    const double rate = f.l1 < 0 ? y0 : y0 + (rates_[static_cast<std::size_t>(f.l1)] - y0) * f.c1 / f.c2;
    sum += f.amount * std::exp(-rate * f.days / kDaysPerYear);
  }
  const double y0 = rates_[static_cast<std::size_t>(spot0_)];
  const double rb = spot1_ < 0 ? y0 : y0 + (rates_[static_cast<std::size_t>(spot1_)] - y0) * spot_.c1 / spot_.c2;
  if (!std::isfinite(rb)) return sum / std::exp(-rb * 0.0 / kDaysPerYear);
  return sum;
}

namespace {

// exp(-e y) from above (upper) or below at a point, with x the point's bond
// price or the node rate.
inline double FactorBound(BondNodePrices::Factor kind, double e, double x, bool upper) {
  switch (kind) {
    case BondNodePrices::Factor::kOne:
      return 1.0;
    case BondNodePrices::Factor::kPowerAbove1: {
      // x^e <= x for x <= 1 (none cheap above 1); x^e >= x + (e - 1)(x - 1).
      if (upper) return x <= 1.0 ? x : std::numeric_limits<double>::infinity();
      const double lo = x + (e - 1.0) * (x - 1.0);
      return lo > 0.0 ? lo : 0.0;
    }
    case BondNodePrices::Factor::kPowerBelow1: {
      // 1 + e (1 - 1/x) <= x^e <= 1 + e (x - 1).
      if (upper) return 1.0 + e * (x - 1.0);
      const double lo = 1.0 + e * (1.0 - 1.0 / x);
      return lo > 0.0 ? lo : 0.0;
    }
    case BondNodePrices::Factor::kRate: {
      // 1 - e r <= exp(-e r) <= 1 / (1 + e r).
      const double v = e * x;
      if (upper) return v > -1.0 ? 1.0 / (1.0 + v) : std::numeric_limits<double>::infinity();
      return v < 1.0 ? 1.0 - v : 0.0;
    }
  }
  return std::numeric_limits<double>::infinity();
}

}  // namespace

double BondNodePrices::Bound(int j, bool upper) const {
  const double* p = curves_.NodeBondPrices(j);
  const double r = curves_.level().rate[static_cast<std::size_t>(j)];
  double sum = 0.0;
  if (upper) {
    // P^e <= P for e >= 1 and P <= 1 (most flows, on a point of their
    // own), P^e <= 1 + e (P - 1) for e <= 1: linear in the prices.
    double largest = 0.0;
    for (const PowerFlow& f : powerFlows_) {
      const double x = p[f.source];
      sum += f.amount * x;
      largest = x > largest ? x : largest;
    }
    for (const LinearFlow& f : linearFlows_) {
      const double x0 = p[f.source0];
      const double x1 = p[f.source1];
      sum += f.amount * ((f.a0 + f.b0 * x0) * (f.a1 + f.b1 * x1));
      largest = f.atMost1First && x0 > largest ? x0 : largest;
      largest = f.atMost1Second && x1 > largest ? x1 : largest;
    }
    if (!(largest <= 1.0)) return std::numeric_limits<double>::infinity();
  } else {
    for (const PowerFlow& f : powerFlows_) {
      const double x = p[f.source];
      const double lo = x + f.eLess1 * (x - 1.0);
      sum += f.amount * (lo > 0.0 ? lo : 0.0);
    }
  }
  for (const LogFlow* f : otherFlows_) {
    if (upper && f->kind0 != Factor::kRate && f->kind1 != Factor::kRate) continue;  // linear above
    const double x0 = f->kind0 == Factor::kRate ? r : p[f->source0];
    const double x1 = f->kind1 == Factor::kRate ? r : p[f->source1];
    sum += f->amount * (FactorBound(f->kind0, f->e0, x0, upper) * FactorBound(f->kind1, f->e1, x1, upper));
  }
  // The bound's own rounding and the price's are far below 1e-12 of it.
  return upper ? sum + 1e-12 * sum : sum - 1e-12 * sum;
}

// The closed-form points the flows read, numbered, and the flows' steps
// from node to node. False when the recurrence would not give Price's
// numbers: a factor that is not finite, or no finite rate at the day
// itself (then Price divides by a discount that is not 1).
bool BondNodePrices::PrepareNormalLevel() {
  // The level's common terms, as every point carries them.
  const HullWhiteTree::TenorTerms& common = curves_.PointTerms(spot_.p0);
  dtY_ = common.dtY;
  lnA1_ = common.lnA1;
  b1_ = common.b1;
  std::fill(pointOf_.begin(), pointOf_.end(), -1);
  points_.clear();
  auto number = [this](int p) {
    return NumberPoint(p, pointOf_, points_, [this](int q) {
      const HullWhiteTree::TenorTerms& t = curves_.PointTerms(q);
      return NormalPoint{t.b2, t.lnA2, t.days};
    });
  };
  // dy/dr of a point's closed-form rate.
  auto slope = [this](int p) {
    const HullWhiteTree::TenorTerms& t = curves_.PointTerms(p);
    return 365.0 * t.b2 * t.dtY / t.b1 / t.days;
  };
  const double dx = curves_.level().dx;
  normalFlows_.clear();
  falling_ = true;
  for (const Flow& f : flows_) {
    const double b0 = slope(f.at.p0);
    const double s = f.at.p1 < 0 ? b0 : b0 + (slope(f.at.p1) - b0) * f.at.c1 / f.at.c2;
    if (!std::isfinite(s)) return false;
    falling_ = falling_ && s > 0.0 && f.amount >= 0.0;
    normalFlows_.push_back({f.amount, f.days, number(f.at.p0), number(f.at.p1), f.at.c1, f.at.c2,
                            std::exp(-(s * dx) * f.days / kDaysPerYear)});
  }
  const int spot0 = number(spot_.p0);
  const int spot1 = number(spot_.p1);
  pointRate_.resize(points_.size());
  anchor_.resize(normalFlows_.size());
  const LatticeLevel& level = curves_.level();
  for (int j : {0, level.count - 1}) {
    NormalPointRates(level.rate[static_cast<std::size_t>(j)]);
    if (!std::isfinite(NormalRate(spot0, spot1, spot_.c1, spot_.c2))) return false;
  }
  return true;
}

// TenorRateFromTerms for every numbered point at node rate r.
void BondNodePrices::NormalPointRates(double r) {
  const double v = r * dtY_ + lnA1_;
  const std::size_t n = points_.size();
  for (std::size_t k = 0; k < n; ++k) {
    const NormalPoint& p = points_[k];
    pointRate_[k] = 365.0 * (p.b2 * v / b1_ - p.lnA2) / p.days;
  }
}

// Node rates r_j = r_0 + j dx (the normal tree) give each flow's rate
// y_f = A_f + slope_f r_j, so its discount factor steps by
// exp(-slope_f dx days_f / 365) from node to node. Every kAnchor-th node
// takes the factor afresh as Price does; the flows are summed in their
// order at every node. A block of kAnchor nodes keeps its sums in
// registers, so the flows' products overlap instead of queueing on each
// node's sum in memory.
void BondNodePrices::PriceNormalLevel(double* prices) {
  const int n = curves_.level().count;
  for (int j0 = 0; j0 < n; j0 += kAnchor) PriceNormalBlock(j0, prices);
}

void BondNodePrices::PriceNormalBlock(int j0, double* prices) {
  const LatticeLevel& level = curves_.level();
  const int len = std::min(kAnchor, level.count - j0);
  const std::size_t flows = normalFlows_.size();
  NormalPointRates(level.rate[static_cast<std::size_t>(j0)]);
  // The anchors' exponentials first, all independent, then the products.
  for (std::size_t f = 0; f < flows; ++f) {
    const NormalFlow& nf = normalFlows_[f];
    anchor_[f] = std::exp(-NormalRate(nf.y0, nf.y1, nf.c1, nf.c2) * nf.days / kDaysPerYear);
  }
  double sum[kAnchor] = {};
  for (std::size_t f = 0; f < flows; ++f) {
    const double a = normalFlows_[f].amount;
    const double g = normalFlows_[f].factor;
    double df = anchor_[f];
    sum[0] += a * df;
    if (len == kAnchor) {
      for (int k = 1; k < kAnchor; ++k) {
        df *= g;
        sum[k] += a * df;
      }
    } else {
      for (int k = 1; k < len; ++k) {
        df *= g;
        sum[k] += a * df;
      }
    }
  }
  std::copy(sum, sum + len, prices + j0);
}

}  // namespace lorvex
