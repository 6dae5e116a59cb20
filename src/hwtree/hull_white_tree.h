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
// The lattice is immutable once built and holds per level only its date,
// step, a, sigma, spacing, width and fitted shift alpha: no pricer's values
// and nothing per node. A node's rate, step discount and branching follow
// from its level's numbers; LoadLevel computes a whole level of them into a
// LatticeLevel (lattice_level.h), which the pricer's rollback
// (treepricing/tree_rollback.h) and the node zero yields' walk
// (node_yield_walk.h) share level by level. So memory grows with the
// number of levels and the width, not with the number of nodes.
//
// Size: before anything large is allocated the build estimates its work
// (node visits plus node-maturities: each node whose zero curve is read or
// whose bond prices are rolled, times the maturities it carries) and its
// storage, and refuses (status -1, refusal() says which limit and by how
// much) a tree above TreeBuildArgs::workBudget or memoryBudgetBytes, or
// with more than a million levels.
#pragma once

#include <cstddef>
#include <limits>
#include <vector>

#include "hwtree/lattice_level.h"
#include "hwtree/rate_transform.h"
#include "market/zero_curve.h"

namespace lorvex {

inline constexpr double kTreeMemoryBudgetBytes = 2147483648.0;  // 2 GiB
// The work of a tree is counted in node-maturities, the unit of the node
// yields' walk (one zero-coupon price rolled back one step at one node);
// the other parts of a build and of a pricing are weighed against it, as
// measured on the project's 2-core build machine, where a unit of the
// estimate takes about 1 ns of CPU time (0.6 to 1.3 ns over bond options,
// swaptions and caps of every kind, fine and coarse, European and American).
//
// A node built: its rates, discounts and branching and its step of the
// rollback (a lognormal or shape tree takes an exponential more per rate).
inline constexpr double kTreeNodeWork = 8.0;
inline constexpr double kLogTreeNodeWork = 13.0;
// A node with a state price: the fit's Newton passes over it (far nodes,
// whose state price is 0, are skipped; see kSupportDeviations).
inline constexpr double kTreeFitWork = 10.0;
inline constexpr double kLogTreeFitWork = 26.0;
// A node-maturity of the node yields' walk (lognormal and shape trees).
inline constexpr double kTreeWalkWork = 0.5;
// A bond priced off a node's own curve on a lognormal or shape tree costs a
// logarithm and an exponential per flow: about this many node-maturities
// per flow.
inline constexpr double kLogBondPriceWork = 8.0;
// The state prices underflow to 0 beyond about this many standard
// deviations of the state from the centre (e^-745 is the last double
// above 0), and a node's share of its level's state prices falls below
// kNegligibleStateShare beyond about kReachDeviations.
inline constexpr double kSupportDeviations = 39.0;
inline constexpr double kReachDeviations = 12.0;
// Default work budget: keeps the slowest accepted call near 2 seconds on
// that machine; most accepted calls take well under one. The C++ API and
// Python raise it on request (TreeLimits).
inline constexpr double kTreeWorkBudget = 1.6e9;
// A node whose Arrow-Debreu price is below this share of its level's total
// is out of reach: whatever is paid there is worth less than 1e-30 of what
// the same payment would be worth at a typical node of the level, so
// pricers may leave exercise decisions there out (see LatticeLevel).
inline constexpr double kNegligibleStateShare = 1e-30;

// The tree needs sigma > 0 (a zero spacing cannot branch). A volatility of
// 0 or below is priced with 1e-6 a year, as the closed-form cap prices it.
double TreeVolatility(double sigmaPerYear);

struct TreeBuildArgs {
  int kind = 0;             // 0 normal, 1 lognormal, 2 shape; others build the normal form
  int stepCount = 0;        // uniform: steps to the last exercise date; else steps a year
  double startDate = 0.0;   // valuation date t0 (Julian day)
  double endDate = 0.0;     // last date the tree must reach
  const ZeroCurve* exerciseDates = nullptr;  // (date, anything); the last date is the expiry
  const ZeroCurve* zeroCurve = nullptr;      // (Julian day, zero rate)
  const ZeroCurve* meanReversion = nullptr;  // (Julian day, a per year)
  const ZeroCurve* volatility = nullptr;     // (Julian day, sigma per year)
  const ZeroCurve* shapePoints = nullptr;    // (rate level, shape value), kind 2 only
  int uniformToExpiry = 0;  // low byte nonzero: uniform grid mode
  // The pricer reads node zero curves on the levels dated on or after this
  // date, up to the expiry level (every such level in the uniform mode,
  // the levels on exercise dates otherwise). Lognormal and shape trees
  // then keep every level, since their node yields roll back from the
  // last one; the normal tree's node curves are closed-form, so it stops
  // at the expiry level. +infinity: no node curve is read, nothing is
  // priced (the rate spacing): the lattice stops at level 1.
  double yieldsFromDate = -std::numeric_limits<double>::infinity();
  double memoryBudgetBytes = kTreeMemoryBudgetBytes;
  double workBudget = kTreeWorkBudget;
  // What the pricer's reading of a node-maturity costs, in node-maturities
  // (kLogBondPriceWork for a bond priced off each node's own curve on a
  // lognormal or shape tree), and whether it reads only the nodes in reach
  // (otherwise every level's reach is the whole level; see
  // LatticeLevel::reachFrom, reachTo).
  double readWork = 1.0;
  bool readsInReach = false;
};

// The size of a tree, known before its nodes are allocated.
struct TreeWorkEstimate {
  double levels = 0.0;          // levels built
  double nodes = 0.0;           // nodes on them
  // The work: kTreeNodeWork per node built plus the node-maturities read
  // (node curves) or rolled (node yields).
  double nodeMaturities = 0.0;
  double bytes = 0.0;           // storage of the lattice and the walks
};

// Why a build was refused for its size: the estimate and the budget it
// crossed (work in node-maturities, memory in bytes, levels in grid dates;
// a grid too long is refused as soon as it passes the limit, so its
// estimate is the limit plus one).
struct TreeRefusal {
  enum Limit { kNone, kWork, kMemory, kLevels };
  Limit limit = kNone;
  double estimate = 0.0;
  double budget = 0.0;
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
  // Set when the build was refused for its size.
  const TreeRefusal& refusal() const { return refusal_; }
  // The size of the tree as planned (also when refused).
  const TreeWorkEstimate& workEstimate() const { return estimate_; }
  int kind() const { return kind_; }
  int stepCount() const { return stepCount_; }
  bool uniform() const { return uniform_; }
  int levelCount() const { return levelCount_; }  // M, the grid's dates
  // Levels 0 .. lastBuiltLevel() carry nodes: the expiry level (at least
  // level 1), or the last level when node yields roll back from it.
  int lastBuiltLevel() const { return builtLast_; }
  int expiryLevel() const { return expiryLevel_; }
  // The first level whose node curves the pricer said it reads.
  int firstYieldLevel() const { return firstYieldLevel_; }
  double startDate() const { return startDate_; }
  double endDate() const { return endDate_; }
  double latticeEnd() const { return latticeEnd_; }
  double a0() const { return a0_; }          // per day, at the valuation date
  double sigma0() const { return sigma0_; }  // per square-root day
  const RateTransform& Transform() const { return transform_; }
  const ZeroCurve& Curve() const { return zeroCurve_; }
  // The level dates 0 .. M-1, and the maturities of the node yields
  // (ascending; every one is a level date).
  const std::vector<double>& LevelDates() const { return grid_; }
  const std::vector<double>& MaturityCurveDates() const { return maturitiesAscending_; }
  // Whether the date is one of the exercise dates given to the build.
  bool IsExerciseDate(double date) const { return exerciseDates_.Find(date) != nullptr; }

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
  // Widest level built.
  int MaxNodeCount() const { return maxNodes_; }

  // Level i (0 .. lastBuiltLevel()) in full: every node's rate, step
  // discount and branching. The level's arrays must have room for
  // MaxNodeCount() nodes (LatticeLevel::Reserve); nothing is allocated.
  void LoadLevel(int i, LatticeLevel& level) const;

  // Node j (0 .. count-1, lowest first) of a built level i, one at a time
  // (LoadLevel gives a whole level for less). A node's state is
  // (j + jMin) dx + alpha, its rate the transform's rate of that state.
  double NodeRate(int i, int j) const;
  // The branching of node j of level i: the index in level i+1 of its
  // middle successor (up: +1, down: -1; on the last level, which has no
  // successors, the offset it would branch to) and the up and down
  // probabilities. Successor gives 0 on the last level.
  struct NodeBranch {
    int successor;
    double pUp;
    double pDown;
  };
  NodeBranch Branching(int i, int j) const;
  double UpProbability(int i, int j) const { return Branching(i, j).pUp; }
  double DownProbability(int i, int j) const { return Branching(i, j).pDown; }
  double MiddleProbability(int i, int j) const {
    const NodeBranch b = Branching(i, j);
    return 1.0 - b.pUp - b.pDown;
  }
  int Successor(int i, int j) const { return i + 1 < levelCount_ ? Branching(i, j).successor : 0; }

  // exp(-r dt_i / 365), the node's one-step discount factor.
  double StepDiscount(int i, int j) const;
  // Probability-weighted values of the three successors, next holding the
  // values of level i+1 (lowest node first).
  double ExpectedSuccessorValue(int i, int j, const double* next) const {
    const NodeBranch b = Branching(i, j);
    const auto succ = static_cast<std::size_t>(b.successor);
    return (1.0 - b.pUp - b.pDown) * next[succ] + (b.pUp * next[succ + 1] + b.pDown * next[succ - 1]);
  }
  // StepDiscount * ExpectedSuccessorValue: the value at node (i, j) of
  // holding on for one step.
  double Rollback(int i, int j, const double* next) const {
    return StepDiscount(i, j) * ExpectedSuccessorValue(i, j, next);
  }
  // Rollback for every node of level i into values (LevelNodeCount(i)).
  void RollbackLevel(int i, const double* next, double* values) const;

  // The maturity dates on or after the level date, latest first.
  const double* MaturityDates(int) const { return maturitiesDescending_.data(); }
  int MaturityCount(int i) const { return maturityCount_[Lv(i)]; }

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
  TenorTerms TenorRateTerms(int i, double days) const { return TenorRateTerms(LevelTenorTerms(i), days); }
  static double TenorRateFromTerms(const TenorTerms& t, double nodeRate) {
    return 365.0 * (t.b2 * (nodeRate * t.dtY + t.lnA1) / t.b1 - t.lnA2) / t.days;
  }
  // The parts of LnA(t1, t2) fixed by t1: R(t1) (t1 - t0), the forward rate
  // at t1 and, with mean reversion, 1 - exp(-2 a0 (t1 - t0)).
  struct LnAOrigin {
    double t1;
    double rateSpan;
    double forward;
    double decay;
  };
  // The parts of TenorRateTerms fixed by level i (its date and step), so
  // that a level's tenors cost one curve read and one exponential each.
  struct LevelTenor {
    LnAOrigin origin;
    double dtY;
    double lnA1;
    double b1;
  };
  LevelTenor LevelTenorTerms(int i) const;
  TenorTerms TenorRateTerms(const LevelTenor& level, double days) const;

  // Hull-White B(t1, t2) in days, with the mean reversion at the valuation
  // date; t2 - t1 when it is below 1e-10 a day.
  double B(double t1, double t2) const;
  // ln A(t1, t2) of the normal model fitted to the zero curve.
  double LnA(double t1, double t2) const { return LnA(LnAAt(t1), t2, nullptr); }
  LnAOrigin LnAAt(double t1) const;
  // LnA(origin.t1, t2), and B(origin.t1, t2) into b when given.
  double LnA(const LnAOrigin& origin, double t2, double* b) const;

 private:
  static std::size_t Lv(int i) { return static_cast<std::size_t>(i); }

  bool PlanTree(const TreeBuildArgs& args);
  bool PlanWidths(const TreeBuildArgs& args);
  bool FitToCurve();
  bool Refuse(TreeRefusal::Limit limit, double estimate, double budget);
  // The branching of level i's nodes into successor, pUp and pDown (and
  // pMiddle when given), from the half of the level above its centre.
  void LevelBranching(int i, int* successor, double* pUp, double* pMiddle, double* pDown) const;
  // The rates of level i's nodes [from, to) (to < 0: to the top) for the
  // shift alpha.
  void LevelRatesAt(int i, double alpha, double* rates, int from = 0, int to = -1) const;

  int kind_ = 0;
  int stepCount_ = 0;
  int levelCount_ = 0;
  int expiryLevel_ = 0;
  int builtLast_ = 0;
  int firstYieldLevel_ = 0;
  int status_ = 0;
  bool uniform_ = false;
  bool readsInReach_ = false;
  double startDate_ = 0.0;
  double endDate_ = 0.0;
  double latticeEnd_ = 0.0;
  double expiryDate_ = 0.0;
  double a0_ = 0.0;
  double sigma0_ = 0.0;
  TreeRefusal refusal_;
  TreeWorkEstimate estimate_;

  ZeroCurve zeroCurve_;
  ZeroCurve meanReversion_;
  ZeroCurve volatility_;
  ZeroCurve exerciseDates_;
  ZeroCurve shapePoints_;
  RateTransform transform_;
  std::vector<double> grid_;
  std::vector<double> maturitiesAscending_;
  std::vector<double> maturitiesDescending_;

  // Per level, 0 .. M. That is all the lattice keeps: a node's branching
  // depends only on its offset from the centre and the step's geometry
  // (dx, dt, a, sigma, the next dx; the top node's also on the width), a
  // node below the centre mirrors the one above, and its rate is the
  // transform's rate of its state.
  std::vector<double> date_, dt_, a_, sigma_, dx_, alpha_;
  std::vector<int> jMin_, nodeCount_, maturityCount_;
  // Per built level, from the fit: the nodes [reachFrom, reachTo) outside
  // which every node's Arrow-Debreu price is a negligible share of the
  // level's (see LatticeLevel).
  std::vector<int> reachFrom_, reachTo_;
  int maxNodes_ = 0;
};

}  // namespace lorvex
