// The dirty value of a coupon bond at every node of a tree level, off each
// node's own zero curve: BondSchedule::ForwardPrice(day, day, node curve),
// the flows paid strictly after the level's whole day discounted to it
// (a fractional level date is taken at its day), as the tree bond option
// and the display price the bond.
//
// The flows after the day and the curve reads at their dates are laid out
// once per level. On the normal tree a node curve's rates are affine in the
// node's rate and the rates of a level are equally spaced, so each flow's
// discount factor moves from node to node by a constant factor: one
// exponential per flow every kAnchor nodes, taken afresh as the node-by-node
// price takes it, and products in between (their rounding stays below
// kAnchor ulps). Other kinds price node by node.
#pragma once

#include <algorithm>
#include <utility>
#include <vector>

#include "market/bond_schedule.h"
#include "treepricing/node_curve.h"

namespace lorvex {

class BondNodePrices {
 public:
  BondNodePrices(const BondSchedule& bond, NodeCurves& curves);

  // Lays out the level the curves were prepared for, the bond seen from
  // its whole day.
  void PrepareLevel(int day);
  // The prices of the level's nodes.
  void PriceLevel(double* prices);
  // Kind 0 whose every flow has an amount of 0 or more: the prices fall
  // from node to node (each flow's rate rises with the node rate), so a
  // pricer that needs the nodes only while their prices stay above (or
  // below) a level may price them a block at a time, from the lowest node
  // up (or the highest down), and stop. The blocks are PriceLevel's, with
  // its numbers.
  bool Falling() const { return normalLevel_ && falling_; }
  // Prices the nodes of the blocks from the lowest up (downward: from the
  // highest down) while more(the last price of the block in that
  // direction) holds; returns the first and one past the last node priced.
  template <class More>
  std::pair<int, int> PriceLevelWhile(double* prices, bool downward, More more) {
    const int n = curves_.level().count;
    const int last = (n - 1) / kAnchor * kAnchor;
    int from = downward ? n : 0;
    int to = downward ? n : 0;
    for (int j0 = downward ? last : 0; j0 >= 0 && j0 < n; j0 += downward ? -kAnchor : kAnchor) {
      PriceNormalBlock(j0, prices);
      from = std::min(from, j0);
      to = std::max(to, std::min(n, j0 + kAnchor));
      if (!more(prices[downward ? j0 : std::min(n, j0 + kAnchor) - 1])) break;
    }
    return {from, to};
  }

  // Kinds 1 and 2 price node by node: PriceNode(j) is PriceLevel's price
  // of node j, and a pricer may skip the nodes it does not need.
  bool PriceNodesAlone() const { return logLevel_; }
  double PriceNode(int j);
  // Kinds 1 and 2: whether the level has bounds, and a bound from above
  // (upper) or below of the price of node j (widened by 1e-12 of itself for
  // rounding), from the walk's bond prices and the node rate without a
  // logarithm or an exponential: x^e <= x for x <= 1 <= e, x^e <= 1 + e (x - 1) and
  // x^e >= 1 + e (1 - 1/x) for 0 <= e <= 1, x^e >= x + (e - 1)(x - 1) for
  // e >= 1, 1 - x <= exp(-x) <= 1 / (1 + x). Off by about a day's interest
  // on the bond; not a finite number where a price gives none.
  bool Bounded() const { return logLevel_ && bounded_; }
  double Bound(int j, bool upper) const;

  // How a point's factor exp(-e y) of a flow's discount is bounded.
  enum class Factor { kOne, kPowerAbove1, kPowerBelow1, kRate };

 private:
  static constexpr int kAnchor = 8;
  struct Flow {
    double amount = 0.0;
    double days = 0.0;  // from the level's day to the payment
    NodeCurves::Read at;
  };
  // Kind 0: a flow's read with its points numbered among the level's
  // closed-form points, and its discount's step from node to node.
  struct NormalFlow {
    double amount;
    double days;
    int y0;
    int y1;  // -1: flat at y0
    double c1;
    double c2;
    double factor;
  };
  // Kind 0: the per-point factors of TenorRateFromTerms (the level's
  // dtY, lnA1 and b1 are common to all).
  struct NormalPoint {
    double b2;
    double lnA2;
    double days;
  };

  // Kinds 1 and 2: a flow's discount read from the bond prices P of the
  // walk. With y = -ln P / tau at each point, exp(-R days / 365) is
  // P0 exp(z), z = (e0 - 1) ln P0 + e1 ln P1, and z is small (a day's
  // interest or less: the flow lies on point 0, or near it, and the level
  // date is at most a day after the day the bond is priced from), where a
  // short series replaces the exponential.
  struct LogFlow {
    double amount;
    double days;
    int l0;  // numbers of the points read
    int l1;  // -1: none
    double c1;
    double c2;
    // exp(-R days / 365) as a product of a factor per point: P^e for a
    // point read from a bond price P, exp(-e r) for one reading the node
    // rate r, 1 for a rate of 0.
    Factor kind0 = Factor::kOne;
    Factor kind1 = Factor::kOne;
    std::size_t source0 = 0;  // the walk's maturity index of a price factor
    std::size_t source1 = 0;
    double e0 = 0.0;
    double e1 = 0.0;
  };
  // A flow whose discount is P^e, e >= 1, P the bond price at its point.
  struct PowerFlow {
    double amount;
    std::size_t source;
    double eLess1;
  };
  // A flow whose upper bound is linear in each of its two prices,
  // (a0 + b0 P0)(a1 + b1 P1), a price P^e with e >= 1 needing P <= 1.
  struct LinearFlow {
    double amount;
    std::size_t source0;
    std::size_t source1;
    double a0;
    double b0;
    double a1;
    double b1;
    bool atMost1First;
    bool atMost1Second;
  };
  // A point's rate: -ln P / tau from the walk's price (tau > 0), else the
  // node rate, or 0 (a level's only maturity, on its date).
  struct LogPoint {
    int source;  // the walk's maturity index, -1: the node rate
    double tau;
    bool fromPrice;
    bool zero;
  };

  double Price(int j);
  bool PrepareLogLevel();
  double PriceLogNode(int j);
  bool PrepareNormalLevel();
  void PriceNormalLevel(double* prices);
  void PriceNormalBlock(int j0, double* prices);
  // Kind 0: the point rates at node rate r, then a read of them.
  void NormalPointRates(double r);
  double NormalRate(int y0, int y1, double c1, double c2) const {
    const double v0 = pointRate_[static_cast<std::size_t>(y0)];
    if (y1 < 0) return v0;
    return v0 + (pointRate_[static_cast<std::size_t>(y1)] - v0) * c1 / c2;
  }

  const BondSchedule& bond_;
  NodeCurves& curves_;
  std::vector<Flow> flows_;
  NodeCurves::Read spot_;
  bool normalLevel_ = false;
  bool falling_ = false;
  double dtY_ = 0.0;  // kind 0: the level's common terms
  double lnA1_ = 0.0;
  double b1_ = 0.0;
  std::vector<NormalFlow> normalFlows_;
  std::vector<NormalPoint> points_;
  std::vector<int> pointOf_;       // curve point -> its number among points_, -1 if unread
  std::vector<double> pointRate_;  // kind 0: the points' rates at an anchor node
  std::vector<double> anchor_;     // kind 0: per flow, the discount at the anchor node
  bool logLevel_ = false;
  bool bounded_ = false;  // every flow's amount and exponents are finite and not negative
  std::vector<LogFlow> logFlows_;
  std::vector<PowerFlow> powerFlows_;         // for the bounds: the flows P^e, e >= 1
  std::vector<LinearFlow> linearFlows_;       // the others' upper bounds, unless they read a rate
  std::vector<const LogFlow*> otherFlows_;    // and the others
  std::vector<LogPoint> logPoints_;
  std::vector<int> logOf_;         // curve point -> its number among logPoints_, -1 if none
  std::vector<double> rates_;      // the numbered points' rates at the node
  int spot0_ = 0;                  // the day's read among them
  int spot1_ = -1;
};

}  // namespace lorvex
