// The recombining trinomial short-rate lattice of the Hull-White model,
// fitted exactly to the zero curve, on which the tree pricers value bond
// options, swaptions and caps (Hull & White, "Numerical procedures for
// implementing term structure models I/II", J. Derivatives 1994, with
// non-uniform steps).
//
// The build, in order: copies of the caller's lists (the tree never
// changes them), the state-to-rate transform, the time grid, the levels
// (spacing dx' = sigma sqrt(3 dt) per step), the branching with
// moment-matching probabilities, the fit of each level's shift alpha by
// forward induction of Arrow-Debreu prices and a Newton search, and the
// node zero yields by backward induction of zero-coupon bond prices.
//
// Units inside: dates are Julian days held as doubles (generated dates are
// fractional), time differences in days, mean reversion per day and
// volatility per square-root day (a/365 and sigma/sqrt(365)); rates are
// continuously compounded per year, so a one-step discount factor is
// exp(-r dt / 365).
//
// Memory: nodes live in flat arrays per field, levels past the expiry in a
// block of their own that is freed once the node yields are built. The
// storage is estimated from the grid before anything large is allocated,
// and a tree needing more than the budget (2 GiB unless the caller asks for
// less) or more than a million levels fails with status -1, as does any
// allocation failure.
#pragma once

#include <cstddef>
#include <limits>
#include <vector>

#include "hwtree/rate_transform.h"
#include "market/zero_curve.h"

namespace lorvex {

inline constexpr double kTreeMemoryBudgetBytes = 2147483648.0;  // 2 GiB

// The tree needs sigma > 0 (a zero spacing cannot branch). A volatility of
// 0 or below is priced with 1e-6 a year, as the closed-form cap prices it.
double TreeVolatility(double sigmaPerYear);

struct TreeBuildArgs {
  int kind = 0;             // 0 normal, 1 lognormal, 2 shape; others build the normal form
  int stepCount = 0;        // uniform: steps to the last exercise date; else steps a year
  int slotCount = 1;        // doubles of value storage per node
  double startDate = 0.0;   // valuation date t0 (Julian day)
  double endDate = 0.0;     // last date the tree must reach
  const ZeroCurve* exerciseDates = nullptr;  // (date, anything); the last date is the expiry
  const ZeroCurve* zeroCurve = nullptr;      // (Julian day, zero rate)
  const ZeroCurve* meanReversion = nullptr;  // (Julian day, a per year)
  const ZeroCurve* volatility = nullptr;     // (Julian day, sigma per year)
  const ZeroCurve* shapePoints = nullptr;    // (rate level, shape value), kind 2 only
  int uniformToExpiry = 0;  // low byte nonzero: uniform grid mode
  // Node yields are built only on levels dated on or after this date (up to
  // the expiry level): pricers that read node curves from a level onwards
  // say so and the backward pass stops there. Every yield built is the same
  // to the last bit as with the default (all levels). +infinity: none.
  double yieldsFromDate = -std::numeric_limits<double>::infinity();
  double memoryBudgetBytes = kTreeMemoryBudgetBytes;
};

class HullWhiteTree {
 public:
  HullWhiteTree() = default;
  explicit HullWhiteTree(const TreeBuildArgs& args) { Build(args); }
  HullWhiteTree(const HullWhiteTree&) = delete;
  HullWhiteTree& operator=(const HullWhiteTree&) = delete;

  // Builds in place and always returns; test status() afterwards.
  void Build(const TreeBuildArgs& args);
  // Frees everything; safe after a failed build and when called twice.
  void Release();

  int status() const { return status_; }
  int kind() const { return kind_; }
  int stepCount() const { return stepCount_; }
  int slotCount() const { return slotCount_; }
  int levelCount() const { return levelCount_; }  // M
  // Value slots and node yields exist on levels 0 .. expiryLevel.
  int expiryLevel() const { return expiryLevel_; }
  double startDate() const { return startDate_; }
  double endDate() const { return endDate_; }
  double latticeEnd() const { return latticeEnd_; }
  double a0() const { return a0_; }          // per day, at the valuation date
  double sigma0() const { return sigma0_; }  // per square-root day
  const RateTransform& Transform() const { return transform_; }
  // The level dates 0 .. M-1, and the maturities of the node yields
  // (ascending; every one is a level date).
  const std::vector<double>& LevelDates() const { return grid_; }
  const std::vector<double>& MaturityCurveDates() const { return maturitiesAscending_; }

  // Number of grid dates strictly before the date: the level of a date on
  // the grid.
  int LevelIndexOf(double date) const;

  // Level fields. LevelDate is valid on 0 .. M (M: extrapolated), the rest
  // on 0 .. M-1.
  double LevelDate(int i) const { return date_[Lv(i)]; }
  int LevelNodeCount(int i) const { return nodeCount_[Lv(i)]; }
  int LevelJMin(int i) const { return jMin_[Lv(i)]; }
  double LevelDt(int i) const { return dt_[Lv(i)]; }          // days to the next level
  double LevelDx(int i) const { return dx_[Lv(i)]; }          // state spacing
  double LevelAlpha(int i) const { return alpha_[Lv(i)]; }    // fitted shift
  double LevelMeanReversion(int i) const { return a_[Lv(i)]; }
  double LevelVolatility(int i) const { return sigma_[Lv(i)]; }

  // Node j (0 .. count-1, lowest first) of level i. Rates, probabilities,
  // successors and step discounts are kept on levels 0 .. max(expiryLevel,
  // 1), so level 1 can always be read (the rate deltas read it); value
  // slots, rollbacks and node yields exist on levels 0 .. expiryLevel.
  // A node's state is (j + jMin) dx + alpha.
  double NodeRate(int i, int j) const { return Block(i).rate[Node(i, j)]; }
  double UpProbability(int i, int j) const { return Block(i).pUp[Node(i, j)]; }
  double DownProbability(int i, int j) const { return Block(i).pDown[Node(i, j)]; }
  double MiddleProbability(int i, int j) const {
    const NodeBlock& b = Block(i);
    const std::size_t n = Node(i, j);
    return 1.0 - b.pUp[n] - b.pDown[n];
  }
  // Index in level i+1 of the middle successor (up: +1, down: -1).
  int Successor(int i, int j) const { return Block(i).successor[Node(i, j)]; }

  double NodeValue(int i, int j, int s) const { return values_[Slot(i, j, s)]; }
  void SetNodeValue(int i, int j, int s, double v) { values_[Slot(i, j, s)] = v; }

  // exp(-r dt_i / 365), the node's one-step discount factor.
  double StepDiscount(int i, int j) const { return Block(i).discount[Node(i, j)]; }
  // Probability-weighted slot s of the three successors (levels < expiryLevel).
  double ExpectedSuccessorValue(int i, int j, int s) const;
  // StepDiscount * ExpectedSuccessorValue.
  double Rollback(int i, int j, int s) const {
    return StepDiscount(i, j) * ExpectedSuccessorValue(i, j, s);
  }

  // The maturity dates on or after the level date, latest first.
  const double* MaturityDates(int) const { return maturitiesDescending_.data(); }
  int MaturityCount(int i) const { return maturityCount_[Lv(i)]; }
  // Whether the level carries node yields (see TreeBuildArgs::yieldsFromDate).
  bool HasNodeYields(int i) const;
  // Continuously compounded zero yields from the node's date to each of the
  // level's maturity dates, parallel to MaturityDates(i); nullptr on a
  // level without yields.
  const double* NodeYields(int i, int j) const;

  // Zero rate from the node to D days later implied by the normal model's
  // closed-form bond price, reading the node's one-step discount factor as
  // A exp(-B r_inst); kinds other than 0 return the node rate.
  double TenorRate(int i, int j, double days) const;
  // TenorRate splits into a part fixed by the level and the tenor (computed
  // once per level and tenor) and the node's own arithmetic; together they
  // give TenorRate to the last bit.
  struct TenorTerms {
    double days;   // tenor, at least one day
    double dtY;    // the level's step in years
    double lnA1;   // LnA over the step
    double b1;     // B over the step
    double b2;     // B over the tenor
    double lnA2;   // LnA over the tenor
  };
  TenorTerms TenorRateTerms(int i, double days) const;
  static double TenorRateFromTerms(const TenorTerms& t, double nodeRate) {
    return 365.0 * (t.b2 * (nodeRate * t.dtY + t.lnA1) / t.b1 - t.lnA2) / t.days;
  }

  // Hull-White B(t1, t2) in days, with the mean reversion at the valuation
  // date; t2 - t1 when it is below 1e-10 a day.
  double B(double t1, double t2) const;
  // ln A(t1, t2) of the normal model fitted to the zero curve.
  double LnA(double t1, double t2) const;

 private:
  static std::size_t Lv(int i) { return static_cast<std::size_t>(i); }
  std::size_t Node(int i, int j) const { return nodeBegin_[Lv(i)] + static_cast<std::size_t>(j); }
  std::size_t Slot(int i, int j, int s) const {
    return valueBegin_[Lv(i)] + static_cast<std::size_t>(j) * static_cast<std::size_t>(slotCount_) +
           static_cast<std::size_t>(s);
  }

  bool PlanTree(const TreeBuildArgs& args);
  bool BuildLevels();
  bool PlanWidths(double budgetBytes);
  bool BuildBranching();
  bool FitToCurve();
  bool BuildNodeYields();

  int kind_ = 0;
  int stepCount_ = 0;
  int slotCount_ = 0;
  int levelCount_ = 0;
  int expiryLevel_ = 0;
  int status_ = 0;
  int firstYieldLevel_ = 0;  // levels firstYieldLevel_ .. expiryLevel_ carry yields
  int keptLevel_ = 0;        // node fields survive the build on levels 0 .. keptLevel_
  bool uniform_ = false;
  double startDate_ = 0.0;
  double endDate_ = 0.0;
  double latticeEnd_ = 0.0;
  double expiryDate_ = 0.0;
  double yieldsFromDate_ = 0.0;
  double a0_ = 0.0;
  double sigma0_ = 0.0;

  ZeroCurve zeroCurve_;
  ZeroCurve meanReversion_;
  ZeroCurve volatility_;
  ZeroCurve exerciseDates_;
  ZeroCurve shapePoints_;
  RateTransform transform_;
  std::vector<double> grid_;
  std::vector<double> maturitiesAscending_;
  std::vector<double> maturitiesDescending_;

  // Per level, 0 .. M.
  std::vector<double> date_, dt_, a_, sigma_, dx_, alpha_;
  std::vector<int> jMin_, nodeCount_, maturityCount_;
  std::vector<std::size_t> nodeBegin_, valueBegin_, yieldBegin_;

  // Per node: one flat array per field for the levels 0 .. expiryLevel
  // (front) and another for the levels past the expiry (back), which only
  // the build uses and frees at its end. nodeBegin_ indexes within a block.
  struct NodeBlock {
    std::vector<double> rate, discount, pUp, pDown;
    std::vector<int> successor;
    void Allocate(std::size_t n);
    void Free();
  };
  const NodeBlock& Block(int i) const { return i > keptLevel_ ? back_ : front_; }
  NodeBlock& Block(int i) { return i > keptLevel_ ? back_ : front_; }
  NodeBlock front_;
  NodeBlock back_;
  std::vector<double> values_;  // slotCount per node, levels 0 .. expiryLevel
  std::vector<double> yields_;  // node-major, levels firstYieldLevel_ .. expiryLevel
  int maxNodes_ = 0;
};

}  // namespace lorvex
