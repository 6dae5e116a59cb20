// Hull-White tree calculations: the argument checks, then the tree
// set-ups and rollbacks of treepricing/.
#include <algorithm>
#include <limits>

#include "api/detail.h"
#include "market/constants.h"
#include "treepricing/tree_bond_option.h"
#include "treepricing/tree_cap.h"
#include "treepricing/tree_market.h"
#include "treepricing/tree_swap_option.h"

namespace lorvex {
namespace api {

namespace {

// A tree small enough to draw: at most this many equal steps to the expiry.
constexpr int kDisplaySteps = 10;
constexpr int kDisplaySlots = 3;  // option value, dirty bond price, exercise flag

int KindCode(TreeKind kind) { return static_cast<int>(kind); }

// A tree needs at least one step; the tree itself refuses fewer (-1), and
// this says which argument asked for them.
void RequireSteps(const char* argument, int steps) {
  if (steps < 1) {
    Refuse(status::kTreeBuild, argument, std::to_string(steps) + " is below 1: a tree needs at least one step");
  }
}

void RequireLimits(const TreeLimits& limits) {
  if (!(limits.memory_bytes > 0.0)) {
    Refuse(status::kTreeBuild, "limits", "memory_bytes " + Num(limits.memory_bytes) + " is not above 0");
  }
}

// The tree layer refuses a build beyond its memory budget, a step on which
// a dt reaches 1 and a fit that does not converge with one status; the
// message lists them with the budget asked for.
[[noreturn]] void RefuseTree(const TreeLimits& limits) {
  Refuse(status::kTreeBuild, "tree",
         "the Hull-White tree could not be built: beyond the " + Num(limits.memory_bytes / 1073741824.0) +
             " GiB memory budget, a mean reversion with a*dt >= 1 on a step, a fit to the curve that "
             "does not converge, or memory exhausted");
}

void Build(HullWhiteTree& tree, TreeBuildArgs args, const TreeLimits& limits) {
  args.memoryBudgetBytes = limits.memory_bytes;
  tree.Build(args);
  if (tree.status() != 0) RefuseTree(limits);
}

BondTreeTerms BondTerms(const TreeBondOptionArgs& a, int kind) {
  RequireFinite({{"maturity", a.maturity},
                 {"coupon", a.coupon},
                 {"face", a.face},
                 {"expiry", a.expiry},
                 {"strike", a.strike},
                 {"volatility", a.volatility},
                 {"mean_reversion", a.mean_reversion}});
  BondTreeTerms t;
  t.valuation = ValuationJdn(a.valuation);
  BondDates("maturity", t.valuation, a.maturity, &t.accrualStart, &t.maturity);
  t.expiry = DateAfterYears("expiry", t.valuation, a.expiry);
  t.face = a.face;
  t.couponRate = a.coupon;
  t.couponsPerYear = a.frequency;
  t.strike = a.strike;
  t.isAmerican = a.exercise == Exercise::American;
  t.sigma = a.volatility;
  t.meanReversion = a.mean_reversion;
  t.stepCount = a.steps;
  t.kind = kind;
  RequireLimits(a.limits);
  return t;
}

// The distance between the short rates of two neighbouring nodes one step
// after the valuation date: the lattice's rate spacing there. Level 1 always
// holds at least three nodes, since the root branches to three.
double RateSpacing(const HullWhiteTree& tree, const TreeLimits& limits) {
  if (tree.levelCount() < 2 || tree.LevelNodeCount(1) < 3) RefuseTree(limits);
  return FiniteResult(tree.NodeRate(1, 2) - tree.NodeRate(1, 1));
}

}  // namespace

double tree_bond_option(const TreeBondOptionArgs& a, int kind, const ZeroCurve& curve) {
  BondTreeTerms terms = BondTerms(a, kind);
  RequireSteps("steps", a.steps);
  terms.slotCount = 1;
  ZeroCurve market = curve;  // the bond's dates are added to it
  BondTreeSetup setup(terms, market);
  if (setup.status() != 0) Refuse(status::kTreeBuild, "", "out of memory");
  HullWhiteTree tree;
  Build(tree, setup.Args(), a.limits);
  return FiniteResult(TreeBondOptionRollback(setup.exercise, terms.isAmerican, a.option == OptionType::Put,
                                             setup.bond, tree, a.strike_quote == StrikeQuote::Clean));
}

TreeBondDisplay tree_bond_display(const TreeBondOptionArgs& a, int kind, const ZeroCurve& curve) {
  BondTreeTerms terms = BondTerms(a, kind);
  RequireSteps("steps", a.steps);
  terms.stepCount = std::min(a.steps, kDisplaySteps);
  terms.slotCount = kDisplaySlots;
  auto impl = std::make_unique<TreeBondDisplay::Impl>(terms, curve);
  impl->valuation = terms.valuation;
  if (impl->setup.status() != 0) Refuse(status::kTreeBuild, "", "out of memory");
  Build(impl->tree, impl->setup.Args(), a.limits);
  // Fills every node's three slots; the root value itself is not reported.
  TreeBondOptionRollback(impl->setup.exercise, terms.isAmerican, a.option == OptionType::Put, impl->setup.bond,
                         impl->tree, a.strike_quote == StrikeQuote::Clean);
  return TreeBondDisplay(std::move(impl));
}

double tree_swaption(const TreeSwaptionArgs& a, int kind, const ZeroCurve& curve) {
  RequireFinite({{"maturity", a.maturity},
                 {"expiry", a.expiry},
                 {"fixed_rate", a.fixed_rate},
                 {"notional", a.notional},
                 {"volatility", a.volatility},
                 {"mean_reversion", a.mean_reversion}});
  SwapTreeTerms t;
  t.valuation = ValuationJdn(a.valuation);
  t.end = DateAfterYears("maturity", t.valuation, a.maturity);
  t.start = DateAfterYears("expiry", t.valuation, a.expiry);
  t.fixedRate = a.fixed_rate;
  t.notional = a.notional;
  t.perYear = a.frequency;
  t.sigma = a.volatility;
  t.meanReversion = a.mean_reversion;
  t.stepCount = a.steps_per_year;
  t.kind = kind;
  RequireLimits(a.limits);
  ZeroCurve market = curve;
  SwapTreeSetup setup(t, market);
  if (setup.status() == -2) {
    Refuse(status::kSwapSchedule, "frequency",
           std::to_string(a.frequency) + " payments a year is not one of 1, 2, 4 or 12");
  }
  if (setup.status() != 0) Refuse(status::kTreeBuild, "", "out of memory");
  RequireSteps("steps_per_year", a.steps_per_year);
  HullWhiteTree tree;
  Build(tree, setup.Args(), a.limits);
  return FiniteResult(TreeSwapOptionRollback(setup.exercise, a.option == SwaptionType::Payer, setup.swap, tree));
}

double tree_cap(const TreeCapArgs& a, int kind, const ZeroCurve& curve) {
  RequireFinite({{"maturity", a.maturity},
                 {"start", a.start},
                 {"cap_rate", a.cap_rate},
                 {"notional", a.notional},
                 {"volatility", a.volatility},
                 {"mean_reversion", a.mean_reversion}});
  CapTreeTerms t;
  t.valuation = ValuationJdn(a.valuation);
  t.end = DateAfterYears("maturity", t.valuation, a.maturity);
  t.start = DateAfterYears("start", t.valuation, a.start);
  t.capRate = a.cap_rate;
  t.notional = a.notional;
  t.perYear = a.frequency;
  t.sigma = a.volatility;
  t.meanReversion = a.mean_reversion;
  // Steps a year from the time to the first reset: a cap starting soon
  // gets a fine grid, one starting late a coarse one.
  t.stepCount = CapTreeStepCount(a.step_parameter, a.start);
  t.kind = kind;
  RequireLimits(a.limits);
  ZeroCurve market = curve;
  CapTreeSetup setup(t, market);
  if (setup.status() == -3) {
    Refuse(status::kCapSchedule, "frequency",
           std::to_string(a.frequency) +
               " payments a year is not one of 1, 2, 4 or 12, or no caplet lies between start and maturity");
  }
  if (setup.status() != 0) Refuse(status::kTreeBuild, "", "out of memory");
  HullWhiteTree tree;
  Build(tree, setup.Args(), a.limits);
  return FiniteResult(TreeCapRollback(a.option == CapType::Floor, setup.cap, tree));
}

double bond_tree_rate_delta(const BondTreeRateDeltaArgs& a, int kind, const ZeroCurve& curve) {
  RequireFinite({{"maturity", a.maturity},
                 {"expiry", a.expiry},
                 {"volatility", a.volatility},
                 {"mean_reversion", a.mean_reversion}});
  const int valuation = ValuationJdn(a.valuation);
  const int expiry = DateAfterYears("expiry", valuation, a.expiry);
  const int end = DateAfterYears("maturity", valuation, a.maturity);
  RequireLimits(a.limits);
  RequireSteps("steps", a.steps);
  // The tree of the bond option without its bond: the same grid (equal
  // steps to the expiry) on the curve as given.
  ZeroCurve exercise;
  exercise.Insert(expiry, 0.0);
  const TreeModelLists lists = MakeTreeModelLists(valuation, a.volatility, a.mean_reversion);
  if (exercise.status() != 0 || lists.status() != 0) Refuse(status::kTreeBuild, "", "out of memory");
  TreeBuildArgs args = TreeArgsOnMarket(kind, a.steps, valuation, end, exercise, curve, lists);
  args.uniformToExpiry = 1;
  args.yieldsFromDate = std::numeric_limits<double>::infinity();  // nothing is priced
  HullWhiteTree tree;
  Build(tree, args, a.limits);
  return RateSpacing(tree, a.limits);
}

double cap_tree_rate_delta(const CapTreeRateDeltaArgs& a, int kind, const ZeroCurve& curve) {
  RequireFinite({{"start", a.start},
                 {"maturity", a.maturity},
                 {"volatility", a.volatility},
                 {"mean_reversion", a.mean_reversion}});
  CapTreeTerms t;
  t.valuation = ValuationJdn(a.valuation);
  t.start = DateAfterYears("start", t.valuation, a.start);
  t.end = DateAfterYears("maturity", t.valuation, a.maturity);
  // The cap only supplies its reset dates; its curve keeps its own points.
  t.notional = 100.0;
  t.capRate = 0.0;
  t.perYear = a.frequency;
  t.sigma = a.volatility;
  t.meanReversion = a.mean_reversion;
  // Unlike the cap itself, the steps a year come from the time to the end.
  t.stepCount = CapTreeStepCount(a.step_parameter, a.maturity);
  t.kind = kind;
  t.addCapletDatesToCurve = false;
  t.nodeYields = false;
  RequireLimits(a.limits);
  ZeroCurve market = curve;
  CapTreeSetup setup(t, market);
  if (setup.status() == -3) {
    Refuse(status::kCapSchedule, "frequency",
           std::to_string(a.frequency) +
               " payments a year is not one of 1, 2, 4 or 12, or the maturity is not after the start");
  }
  if (setup.status() != 0) Refuse(status::kTreeBuild, "", "out of memory");
  HullWhiteTree tree;
  Build(tree, setup.Args(), a.limits);
  return RateSpacing(tree, a.limits);
}

}  // namespace api

double tree_bond_option(const TreeBondOptionArgs& args, const Curve& curve) {
  return api::tree_bond_option(args, api::KindCode(args.tree), curve.impl().points);
}
double tree_swaption(const TreeSwaptionArgs& args, const Curve& curve) {
  return api::tree_swaption(args, api::KindCode(args.tree), curve.impl().points);
}
double tree_cap(const TreeCapArgs& args, const Curve& curve) {
  return api::tree_cap(args, api::KindCode(args.tree), curve.impl().points);
}
double bond_tree_rate_delta(const BondTreeRateDeltaArgs& args, const Curve& curve) {
  return api::bond_tree_rate_delta(args, api::KindCode(args.tree), curve.impl().points);
}
double cap_tree_rate_delta(const CapTreeRateDeltaArgs& args, const Curve& curve) {
  return api::cap_tree_rate_delta(args, api::KindCode(args.tree), curve.impl().points);
}
TreeBondDisplay tree_bond_display(const TreeBondOptionArgs& args, const Curve& curve) {
  return api::tree_bond_display(args, api::KindCode(args.tree), curve.impl().points);
}

// ---- The display's accessors ----------------------------------------------

TreeBondDisplay::TreeBondDisplay(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
TreeBondDisplay::TreeBondDisplay(TreeBondDisplay&&) noexcept = default;
TreeBondDisplay& TreeBondDisplay::operator=(TreeBondDisplay&&) noexcept = default;
TreeBondDisplay::~TreeBondDisplay() = default;

int TreeBondDisplay::level_count() const { return impl_->tree.expiryLevel() + 1; }

TreeBondDisplay::Level TreeBondDisplay::level(int i) const {
  const double date = impl_->tree.LevelDate(i);
  return {(date - impl_->valuation) / kDaysPerYear, impl_->setup.bond.AccruedInterest(date),
          impl_->tree.LevelNodeCount(i)};
}

TreeBondDisplay::Node TreeBondDisplay::node(int i, int j) const {
  const HullWhiteTree& t = impl_->tree;
  return {t.NodeValue(i, j, 0), t.NodeValue(i, j, 1), t.NodeValue(i, j, 2), t.NodeRate(i, j)};
}

TreeBondDisplay::Branch TreeBondDisplay::branch(int j) const {
  const HullWhiteTree& t = impl_->tree;
  const int last = t.expiryLevel() - 1;
  return {t.UpProbability(last, j), t.MiddleProbability(last, j), t.DownProbability(last, j)};
}

}  // namespace lorvex
