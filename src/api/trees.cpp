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
  if (!(limits.work_nodes >= 0.0) || !std::isfinite(limits.work_nodes)) {
    Refuse(status::kTreeBuild, "limits", "work_nodes " + Num(limits.work_nodes) + " is not 0 or above");
  }
}

double WorkBudget(const TreeLimits& limits) {
  return limits.work_nodes > 0.0 ? limits.work_nodes : kTreeWorkBudget;
}

// A tree refused from its size estimate says which budget and by how much;
// any other failure (a step on which a*dt reaches 1, a fit to the curve that
// does not converge, memory exhausted) is listed as such.
[[noreturn]] void RefuseTree(const HullWhiteTree& tree, const TreeLimits& limits) {
  const TreeRefusal& r = tree.refusal();
  switch (r.limit) {
    case TreeRefusal::kWork:
      Refuse(status::kTreeBuild, "tree",
             "about " + Num(r.estimate) + " node-maturities of work, above the budget of " + Num(r.budget) +
                 " (raise limits.work_nodes to allow it)");
    case TreeRefusal::kMemory:
      Refuse(status::kTreeBuild, "tree",
             "needs about " + Num(r.estimate / 1073741824.0) + " GiB, above the " +
                 Num(limits.memory_bytes / 1073741824.0) + " GiB memory budget (limits.memory_bytes)");
    case TreeRefusal::kLevels:
      Refuse(status::kTreeBuild, "tree",
             "about " + Num(r.estimate) + " levels, above the " + Num(r.budget) + " a tree may have");
    case TreeRefusal::kNone:
      break;
  }
  Refuse(status::kTreeBuild, "tree",
         "the Hull-White tree could not be built: a mean reversion with a*dt >= 1 on a step, a branching "
         "beyond the tree's range, a fit to the curve that does not converge, or memory exhausted");
}

void Build(HullWhiteTree& tree, TreeBuildArgs args, const TreeLimits& limits) {
  args.memoryBudgetBytes = limits.memory_bytes;
  args.workBudget = WorkBudget(limits);
  tree.Build(args);
  if (tree.status() != 0) RefuseTree(tree, limits);
}

// The model terms every tree set-up takes from its arguments; the limits
// are checked once the dates are.
template <class Terms, class Args>
void SetTreeModel(Terms& t, const Args& a, int kind) {
  t.sigma = a.volatility;
  t.meanReversion = a.mean_reversion;
  t.kind = kind;
  RequireLimits(a.limits);
}

// The terms the swaption's and the cap's tree set-ups share: the period
// from its first day (the swap's start, the cap's first reset) to its end,
// the notional and the payments a year, and the model.
template <class Terms, class Args>
Terms PeriodTreeTerms(const Args& a, const char* firstArgument, double firstYears, int kind) {
  const PeriodDays d = PeriodDates(a.valuation, firstArgument, firstYears, a.maturity);
  Terms t;
  t.valuation = d.valuation;
  t.start = d.first;
  t.end = d.end;
  t.notional = a.notional;
  t.perYear = a.frequency;
  SetTreeModel(t, a, kind);
  return t;
}

// A tree set-up's status: 0, or out of memory (a schedule the set-up
// refused is reported before).
void RequireSetup(int setupStatus) {
  if (setupStatus != 0) Refuse(status::kTreeBuild, "", "out of memory");
}

// The tree of a cap's set-up: a cap schedule it rejected is refused for its
// frequency, with the set-up's other reason `orElse`.
void BuildCapTree(HullWhiteTree& tree, const CapTreeSetup& setup, int frequency, const char* orElse,
                  const TreeLimits& limits) {
  if (setup.status() == -3) RefuseFrequency(status::kCapSchedule, frequency, orElse);
  RequireSetup(setup.status());
  Build(tree, setup.Args(), limits);
}

BondTreeTerms BondTerms(const TreeBondOptionArgs& a, int kind) {
  RequireFiniteArgs::tree_bond_option(a);
  const BondDays d = BondDates(a.valuation, a.maturity);
  BondTreeTerms t;
  t.valuation = d.valuation;
  t.accrualStart = d.accrualStart;
  t.maturity = d.maturity;
  t.expiry = DateAfterYears("expiry", t.valuation, a.expiry);
  t.face = a.face;
  t.couponRate = a.coupon;
  t.couponsPerYear = a.frequency;
  t.strike = a.strike;
  t.isAmerican = a.exercise == Exercise::American;
  t.stepCount = a.steps;
  SetTreeModel(t, a, kind);
  return t;
}

// The distance between the short rates of two neighbouring nodes one step
// after the valuation date: the lattice's rate spacing there. Level 1 always
// holds at least three nodes, since the root branches to three.
double RateSpacing(const HullWhiteTree& tree, const TreeLimits& limits) {
  if (tree.levelCount() < 2 || tree.LevelNodeCount(1) < 3) RefuseTree(tree, limits);
  return FiniteResult(tree.NodeRate(1, 2) - tree.NodeRate(1, 1));
}

}  // namespace

double tree_bond_option(const TreeBondOptionArgs& a, int kind, const ZeroCurve& curve) {
  BondTreeTerms terms = BondTerms(a, kind);
  RequireSteps("steps", a.steps);
  terms.slotCount = 1;
  BondTreeSetup setup(terms, curve);
  RequireSetup(setup.status());
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
  RequireSetup(impl->setup.status());
  Build(impl->tree, impl->setup.Args(), a.limits);
  // Fills every node's three slots; the root value itself is not reported.
  TreeBondOptionRollback(impl->setup.exercise, terms.isAmerican, a.option == OptionType::Put, impl->setup.bond,
                         impl->tree, a.strike_quote == StrikeQuote::Clean, &impl->slots);
  // Every cell handed out is a number: a strike or a face near the largest
  // double overflows node values that the root alone would not show.
  const HullWhiteTree& tree = impl->tree;
  for (int i = 0; i <= tree.expiryLevel(); ++i) {
    for (int j = 0; j < tree.LevelNodeCount(i); ++j) {
      for (int s = 0; s < TreeNodeSlots::kSlots; ++s) FiniteResult(impl->slots.NodeValue(i, j, s));
      FiniteResult(tree.NodeRate(i, j));
    }
  }
  return TreeBondDisplay(std::move(impl));
}

double tree_swaption(const TreeSwaptionArgs& a, int kind, const ZeroCurve& curve) {
  RequireFiniteArgs::tree_swaption(a);
  SwapTreeTerms t = PeriodTreeTerms<SwapTreeTerms>(a, "expiry", a.expiry, kind);
  t.fixedRate = a.fixed_rate;
  t.stepCount = a.steps_per_year;
  SwapTreeSetup setup(t, curve);
  if (setup.status() == -2) RefuseFrequency(status::kSwapSchedule, a.frequency, "");
  RequireSetup(setup.status());
  RequireSteps("steps_per_year", a.steps_per_year);
  HullWhiteTree tree;
  Build(tree, setup.Args(), a.limits);
  return FiniteResult(TreeSwapOptionRollback(setup.exercise, a.option == SwaptionType::Payer, setup.swap, tree));
}

double tree_cap(const TreeCapArgs& a, int kind, const ZeroCurve& curve) {
  RequireFiniteArgs::tree_cap(a);
  CapTreeTerms t = PeriodTreeTerms<CapTreeTerms>(a, "start", a.start, kind);
  t.capRate = a.cap_rate;
  // Steps a year from the time to the first reset: a cap starting soon
  // gets a fine grid, one starting late a coarse one.
  t.stepCount = CapTreeStepCount(a.step_parameter, a.start);
  const CapTreeSetup setup(t, curve);
  HullWhiteTree tree;
  BuildCapTree(tree, setup, a.frequency, ", or no caplet lies between start and maturity", a.limits);
  return FiniteResult(TreeCapRollback(a.option == CapType::Floor, setup.cap, tree));
}

double bond_tree_rate_delta(const BondTreeRateDeltaArgs& a, int kind, const ZeroCurve& curve) {
  RequireFiniteArgs::bond_tree_rate_delta(a);
  const PeriodDays d = PeriodDates(a.valuation, "expiry", a.expiry, a.maturity);
  RequireLimits(a.limits);
  RequireSteps("steps", a.steps);
  // The tree of the bond option without its bond: the same grid (equal
  // steps to the expiry) on the curve as given.
  ZeroCurve exercise;
  exercise.Insert(d.first, 0.0);
  const TreeModelLists lists = MakeTreeModelLists(d.valuation, a.volatility, a.mean_reversion);
  if (exercise.status() != 0 || lists.status() != 0) Refuse(status::kTreeBuild, "", "out of memory");
  TreeBuildArgs args = TreeArgsOnMarket(kind, a.steps, d.valuation, d.end, exercise, curve, lists);
  args.uniformToExpiry = 1;
  args.yieldsFromDate = std::numeric_limits<double>::infinity();  // nothing is priced
  HullWhiteTree tree;
  Build(tree, args, a.limits);
  return RateSpacing(tree, a.limits);
}

double cap_tree_rate_delta(const CapTreeRateDeltaArgs& a, int kind, const ZeroCurve& curve) {
  RequireFiniteArgs::cap_tree_rate_delta(a);
  const PeriodDays d = PeriodDates(a.valuation, "start", a.start, a.maturity);
  CapTreeTerms t;
  t.valuation = d.valuation;
  t.start = d.first;
  t.end = d.end;
  // The cap only supplies its reset dates; its curve keeps its own points.
  t.notional = 100.0;
  t.capRate = 0.0;
  t.perYear = a.frequency;
  // Unlike the cap itself, the steps a year come from the time to the end.
  t.stepCount = CapTreeStepCount(a.step_parameter, a.maturity);
  t.addCapletDatesToCurve = false;
  t.nodeYields = false;
  SetTreeModel(t, a, kind);
  const CapTreeSetup setup(t, curve);
  HullWhiteTree tree;
  BuildCapTree(tree, setup, a.frequency, ", or the maturity is not after the start", a.limits);
  return RateSpacing(tree, a.limits);
}

}  // namespace api

// The public calculations read the tree kind from their arguments.
#define LORVEX_TREE_CALCULATION(Result, name, Args)                      \
  Result name(const Args& args, const Curve& curve) {                    \
    return api::name(args, api::KindCode(args.tree), curve.impl().points); \
  }
LORVEX_TREE_CALCULATION(double, tree_bond_option, TreeBondOptionArgs)
LORVEX_TREE_CALCULATION(double, tree_swaption, TreeSwaptionArgs)
LORVEX_TREE_CALCULATION(double, tree_cap, TreeCapArgs)
LORVEX_TREE_CALCULATION(double, bond_tree_rate_delta, BondTreeRateDeltaArgs)
LORVEX_TREE_CALCULATION(double, cap_tree_rate_delta, CapTreeRateDeltaArgs)
LORVEX_TREE_CALCULATION(TreeBondDisplay, tree_bond_display, TreeBondOptionArgs)
#undef LORVEX_TREE_CALCULATION

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
  const TreeNodeSlots& v = impl_->slots;
  return {v.NodeValue(i, j, 0), v.NodeValue(i, j, 1), v.NodeValue(i, j, 2), t.NodeRate(i, j)};
}

TreeBondDisplay::Branch TreeBondDisplay::branch(int j) const {
  const HullWhiteTree& t = impl_->tree;
  const int last = t.expiryLevel() - 1;
  return {t.UpProbability(last, j), t.MiddleProbability(last, j), t.DownProbability(last, j)};
}

}  // namespace lorvex
