// The lattice: its shape, the fit to the zero curve, the node yields and
// the operations the pricers use.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <vector>

#include "hwtree/hull_white_tree.h"
#include "hwtree/node_yield_walk.h"

namespace lorvex {
namespace {

constexpr double kT0 = 2451545.0;  // 1 January 2000

// A tree over one-point mean-reversion and volatility schedules, as every
// export builds it.
struct TreeInputs {
  ZeroCurve curve;
  ZeroCurve meanReversion;
  ZeroCurve volatility;
  ZeroCurve shape;
  ZeroCurve exercise;
  TreeBuildArgs args;

  TreeInputs(int kind, int steps, double expiryDays, double endDays, double a, double sigma,
             std::vector<std::pair<double, double>> points, int uniform = 1) {
    for (const auto& p : points) curve.Insert(kT0 + p.first, p.second);
    meanReversion.Insert(kT0, a);
    volatility.Insert(kT0, sigma);
    shape.Insert(0.01, 0.01);
    exercise.Insert(kT0 + expiryDays, 0.0);
    args.kind = kind;
    args.stepCount = steps;
    args.startDate = kT0;
    args.endDate = kT0 + endDays;
    args.exerciseDates = &exercise;
    args.zeroCurve = &curve;
    args.meanReversion = &meanReversion;
    args.volatility = &volatility;
    args.shapePoints = &shape;
    args.uniformToExpiry = uniform;
  }
};

// An upward-sloping curve with points at 0, 1, 2, 5 and 10 years.
std::vector<std::pair<double, double>> SlopedCurve() {
  return {{0, 0.03}, {365, 0.035}, {730, 0.04}, {1825, 0.045}, {3650, 0.05}};
}

double MarketDiscount(const ZeroCurve& curve, double date) {
  return std::exp(-curve.Interpolate(date) * (date - kT0) / 365.0);
}

// Level 1 always has three nodes; with constant a and sigma and equal
// steps the centre node branches 1/6, 2/3, 1/6; with a = 0.1 a year and
// steps of 365/12 days level L has 2L + 1 nodes up to level 23 and 47 from
// then on (23 a dt first reaches 1 - sqrt(2/3)); with a = 0 the tree widens
// by one node a side on every level.
TEST(HullWhiteTree, LatticeShape) {
  struct Row {
    const char* name;
    double a;
    int widthCap;  // jMax where the width levels off; 0: none
  };
  const Row rows[] = {{"a = 0.1", 0.1, 23}, {"a = 0", 0.0, 0}, {"a = 0.5", 0.5, 5}};
  for (const Row& r : rows) {
    // 60 monthly steps: 60 * 365/12 = 1825 days; a one-point curve adds no
    // levels past the lattice end.
    TreeInputs in(0, 60, 1825, 1825, r.a, 0.01, {{0, 0.05}});
    const HullWhiteTree tree(in.args);
    ASSERT_EQ(tree.status(), 0) << r.name;
    ASSERT_EQ(tree.levelCount(), 62) << r.name;
    EXPECT_EQ(tree.expiryLevel(), 60) << r.name;
    EXPECT_EQ(tree.LevelIndexOf(kT0 + 1825), 60);
    EXPECT_EQ(tree.LevelIndexOf(kT0 + 1826), 61);
    EXPECT_NEAR(tree.LevelDate(62), kT0 + 62 * 365.0 / 12, 1e-6);  // extrapolated
    for (int i = 0; i <= tree.expiryLevel(); ++i) {
      EXPECT_NEAR(tree.LevelDt(i), 365.0 / 12, 1e-9);
      const int jMax = r.widthCap == 0 ? i : std::min(i, r.widthCap);
      EXPECT_EQ(tree.LevelNodeCount(i), 2 * jMax + 1) << r.name << " level " << i;
      EXPECT_EQ(tree.LevelJMin(i), -jMax);
      const int centre = jMax;
      EXPECT_NEAR(tree.UpProbability(i, centre), 1.0 / 6, 1e-12) << r.name << " level " << i;
      EXPECT_NEAR(tree.DownProbability(i, centre), 1.0 / 6, 1e-12);
      EXPECT_NEAR(tree.MiddleProbability(i, centre), 2.0 / 3, 1e-12);
      for (int j = 0; j < tree.LevelNodeCount(i); ++j) {
        // Probabilities are non-negative and the middle successor is
        // inside the next level, with room for both neighbours.
        EXPECT_GE(tree.UpProbability(i, j), 0.0);
        EXPECT_GE(tree.DownProbability(i, j), 0.0);
        EXPECT_GE(tree.MiddleProbability(i, j), -1e-15);
        if (i < tree.expiryLevel()) {
          EXPECT_GE(tree.Successor(i, j), 1);
          EXPECT_LE(tree.Successor(i, j), tree.LevelNodeCount(i + 1) - 2);
        }
      }
    }
  }
}

// Moment matching: over one step the successors' states have the mean
// j dx (1 - a dt) + the next level's alpha shift and the variance sigma^2 dt
// of the step, at every node, for uneven steps too.
TEST(HullWhiteTree, ProbabilitiesMatchTheStepMoments) {
  // A per-year grid with exercise dates at uneven distances.
  TreeInputs in(0, 4, 400, 900, 0.2, 0.012, SlopedCurve(), 0);
  in.exercise.Insert(kT0 + 17, 0.0);
  in.exercise.Insert(kT0 + 150, 0.0);
  in.exercise.Insert(kT0 + 151, 0.0);
  const HullWhiteTree tree(in.args);
  ASSERT_EQ(tree.status(), 0);
  for (int i = 0; i < tree.expiryLevel(); ++i) {
    const double dx = tree.LevelDx(i);
    const double dt = tree.LevelDt(i);
    const double dxNext = tree.LevelDx(i + 1);
    const double a = tree.LevelMeanReversion(i);
    const double sigma = tree.LevelVolatility(i);
    for (int j = 0; j < tree.LevelNodeCount(i); ++j) {
      const double offset = j + tree.LevelJMin(i);
      const double mu = offset * dx * (1.0 - a * dt);
      const int s = tree.Successor(i, j);
      const double xm = (s + tree.LevelJMin(i + 1)) * dxNext;
      const double pu = tree.UpProbability(i, j);
      const double pd = tree.DownProbability(i, j);
      const double pm = tree.MiddleProbability(i, j);
      const double mean = pu * (xm + dxNext) + pm * xm + pd * (xm - dxNext);
      const double second = pu * (xm + dxNext - mu) * (xm + dxNext - mu) + pm * (xm - mu) * (xm - mu) +
                            pd * (xm - dxNext - mu) * (xm - dxNext - mu);
      EXPECT_NEAR(mean, mu, 1e-12) << i << "," << j;
      EXPECT_NEAR(second, sigma * sigma * dt, 1e-12) << i << "," << j;
    }
  }
}

// The fit: the Arrow-Debreu prices carried forward from the root reprice
// the curve's discount factor to every next level date within 1e-7, and
// the root's rate is the zero rate to the first level date, for every kind
// and both grid modes.
TEST(HullWhiteTree, FitRepricesTheZeroCurve) {
  struct Row {
    const char* name;
    int kind;
    int uniform;
    int steps;
  };
  const Row rows[] = {{"normal uniform", 0, 1, 40},   {"lognormal uniform", 1, 1, 40},
                      {"shape uniform", 2, 1, 40},    {"normal per year", 0, 0, 12},
                      {"lognormal per year", 1, 0, 12}, {"unknown kind", 5, 1, 40}};
  for (const Row& r : rows) {
    TreeInputs in(r.kind, r.steps, 1460, 3650, 0.1, r.kind == 1 || r.kind == 2 ? 0.2 : 0.01, SlopedCurve(),
                  r.uniform);
    const HullWhiteTree tree(in.args);
    ASSERT_EQ(tree.status(), 0) << r.name;
    std::vector<double> q{1.0};
    for (int i = 0; i <= tree.expiryLevel(); ++i) {
      const double dt = tree.LevelDt(i);
      double sum = 0.0;
      std::vector<double> next(i < tree.expiryLevel() ? static_cast<std::size_t>(tree.LevelNodeCount(i + 1))
                                                       : 0,
                               0.0);
      for (int j = 0; j < tree.LevelNodeCount(i); ++j) {
        const double v = q[static_cast<std::size_t>(j)] * std::exp(-tree.NodeRate(i, j) * dt / 365.0);
        sum += v;
        if (next.empty()) continue;
        const auto s = static_cast<std::size_t>(tree.Successor(i, j));
        next[s + 1] += tree.UpProbability(i, j) * v;
        next[s] += tree.MiddleProbability(i, j) * v;
        next[s - 1] += tree.DownProbability(i, j) * v;
      }
      EXPECT_NEAR(sum, MarketDiscount(in.curve, tree.LevelDate(i + 1)), 1e-7) << r.name << " level " << i;
      q.swap(next);
    }
    const double firstDate = tree.LevelDate(1);
    const double dtY = (firstDate - kT0) / 365.0;
    EXPECT_NEAR(tree.NodeRate(0, 0), in.curve.Interpolate(firstDate), 1e-7 / dtY) << r.name;
    EXPECT_EQ(tree.kind(), r.kind);
  }
}

// Node yields: at the root they are the curve's zero rates to each
// maturity (the tree is fitted to it); a maturity on the level date has
// the node's one-step rate as its yield, or 0 when it is the level's only
// maturity. The walk goes down the levels only.
TEST(HullWhiteTree, NodeYields) {
  for (int kind : {1, 2}) {
    TreeInputs in(kind, 24, 730, 3650, 0.1, 0.2, SlopedCurve());
    const HullWhiteTree tree(in.args);
    ASSERT_EQ(tree.status(), 0);
    NodeYieldWalk walk(tree);
    ASSERT_EQ(walk.status(), 0);
    // Level 12 is the one-year date, a maturity of the curve.
    const int level = tree.LevelIndexOf(kT0 + 365);
    ASSERT_EQ(tree.LevelDate(level), kT0 + 365);
    ASSERT_TRUE(walk.MoveTo(level));
    const int n = tree.MaturityCount(level);
    ASSERT_EQ(tree.MaturityDates(level)[n - 1], kT0 + 365);
    for (int j = 0; j < tree.LevelNodeCount(level); ++j) EXPECT_EQ(walk.Yield(j, n - 1), tree.NodeRate(level, j));
    ASSERT_TRUE(walk.MoveTo(0));
    EXPECT_FALSE(walk.MoveTo(1));
    const int count = tree.MaturityCount(0);
    const double* dates = tree.MaturityDates(0);
    ASSERT_EQ(count, 5);
    for (int k = 0; k + 1 < count; ++k) {
      EXPECT_GT(dates[k], dates[k + 1]);  // latest first
      EXPECT_NEAR(walk.Yield(0, k), in.curve.Interpolate(dates[k]), 1e-6) << kind << " " << dates[k] - kT0;
    }
  }
  // A curve of one point: the root's only maturity is its own date.
  TreeInputs in(1, 4, 100, 100, 0.1, 0.2, {{0, 0.05}});
  const HullWhiteTree tree(in.args);
  ASSERT_EQ(tree.status(), 0);
  ASSERT_EQ(tree.MaturityCount(0), 1);
  NodeYieldWalk walk(tree);
  ASSERT_TRUE(walk.MoveTo(0));
  EXPECT_EQ(walk.Yield(0, 0), 0.0);
}

// The lattice holds what its pricers read and no more: the normal tree
// stops at the expiry level, the lognormal one keeps every level for its
// node yields, and a tree read for its rate spacing only stops at level 1.
TEST(HullWhiteTree, BuildsTheLevelsItIsRead) {
  struct Row {
    const char* name;
    int kind;
    double yieldsFrom;
    int expectedLast;  // -1: the last level
  };
  const double inf = std::numeric_limits<double>::infinity();
  const Row rows[] = {{"normal", 0, kT0, 24}, {"lognormal", 1, kT0, -1}, {"spacing only", 1, inf, 1}};
  for (const Row& r : rows) {
    TreeInputs in(r.kind, 24, 730, 3650, 0.1, r.kind == 0 ? 0.01 : 0.2, SlopedCurve());
    in.args.yieldsFromDate = r.yieldsFrom;
    const HullWhiteTree tree(in.args);
    ASSERT_EQ(tree.status(), 0) << r.name;
    EXPECT_EQ(tree.expiryLevel(), 24) << r.name;
    EXPECT_EQ(tree.lastBuiltLevel(), r.expectedLast < 0 ? tree.levelCount() - 1 : r.expectedLast) << r.name;
    EXPECT_GT(tree.levelCount(), 30) << r.name;
  }
}

// TenorRate on the normal tree is the textbook zero rate -ln(A exp(-B r)) / D
// for the instantaneous short rate implied by the node's one-step discount
// factor (flat curve: the forward is the curve's rate), so over one step it
// gives back the node rate; the other kinds return the node rate for every
// tenor.
TEST(HullWhiteTree, TenorRate) {
  const double sigma = 0.01, flat = 0.05;
  for (int kind : {0, 1, 2}) {
    for (double a : {0.1, 0.0}) {
      TreeInputs in(kind, 12, 365, 1825, a, kind == 0 ? sigma : 0.2, {{0, flat}});
      const HullWhiteTree tree(in.args);
      ASSERT_EQ(tree.status(), 0);
      for (int i : {0, 6, tree.expiryLevel()}) {
        const double t = (tree.LevelDate(i) - kT0) / 365.0;
        const double dt = tree.LevelDt(i) / 365.0;
        auto b = [a](double tau) { return a == 0.0 ? tau : (1 - std::exp(-a * tau)) / a; };
        auto lnA = [&](double tau) {
          const double v = a == 0.0 ? sigma * sigma * t / 2 : sigma * sigma / (4 * a) * (1 - std::exp(-2 * a * t));
          return -flat * tau + b(tau) * flat - v * b(tau) * b(tau);
        };
        for (int j = 0; j < tree.LevelNodeCount(i); ++j) {
          const double rate = tree.NodeRate(i, j);
          const double rInst = (rate * dt + lnA(dt)) / b(dt);
          EXPECT_NEAR(tree.TenorRate(i, j, tree.LevelDt(i)), rate, kind == 0 ? 1e-12 : 0.0);
          for (double days : {30.0, 365.0, 1500.0}) {
            const double tau = days / 365.0;
            const double got = tree.TenorRate(i, j, days);
            if (kind != 0) {
              EXPECT_EQ(got, rate);
              continue;
            }
            EXPECT_NEAR(got, -(lnA(tau) - b(tau) * rInst) / tau, 1e-11) << a << " " << i << "," << j;
          }
        }
      }
    }
  }
}

// Rolling back ones gives the step discount factor; the expected value of
// a linear function of the successor index is that function at the
// probability-weighted index.
TEST(HullWhiteTree, RollbackOperations) {
  TreeInputs in(0, 12, 365, 1825, 0.1, 0.01, SlopedCurve());
  const HullWhiteTree tree(in.args);
  ASSERT_EQ(tree.status(), 0);
  const int i = tree.expiryLevel() - 1;
  std::vector<double> ones(static_cast<std::size_t>(tree.LevelNodeCount(i + 1)), 1.0);
  std::vector<double> linear(ones.size());
  for (std::size_t j = 0; j < linear.size(); ++j) linear[j] = 2.0 * static_cast<double>(j);
  std::vector<double> level(static_cast<std::size_t>(tree.LevelNodeCount(i)));
  tree.RollbackLevel(i, ones.data(), level.data());
  for (int j = 0; j < tree.LevelNodeCount(i); ++j) {
    EXPECT_NEAR(tree.Rollback(i, j, ones.data()), tree.StepDiscount(i, j), 1e-15);
    EXPECT_EQ(level[static_cast<std::size_t>(j)], tree.Rollback(i, j, ones.data()));
    EXPECT_NEAR(tree.StepDiscount(i, j), std::exp(-tree.NodeRate(i, j) * tree.LevelDt(i) / 365.0), 1e-16);
    const double index = tree.Successor(i, j) + tree.UpProbability(i, j) - tree.DownProbability(i, j);
    EXPECT_NEAR(tree.ExpectedSuccessorValue(i, j, linear.data()), 2.0 * index, 1e-12);
  }
}

// Per year, exercise dates all before the valuation date: the expiry is
// still the last of them, so the expiry level is 0; level 1's node rates
// stay readable (its spacing is what the rate deltas report).
TEST(HullWhiteTree, ExpiryBeforeValuationKeepsLevelOne) {
  TreeInputs in(0, 4, -30, 400, 0.1, 0.01, SlopedCurve(), 0);
  const HullWhiteTree tree(in.args);
  ASSERT_EQ(tree.status(), 0);
  EXPECT_EQ(tree.expiryLevel(), 0);
  ASSERT_EQ(tree.LevelNodeCount(1), 3);
  const double spacing = tree.NodeRate(1, 2) - tree.NodeRate(1, 1);
  EXPECT_NEAR(spacing, tree.LevelDx(1), 1e-15);
  EXPECT_NEAR(spacing, 0.01 / std::sqrt(365.0) * std::sqrt(3.0 * tree.LevelDt(0)), 1e-15);
  EXPECT_EQ(tree.MaturityCount(0), 3);  // t0, 1 year and the first date past the end
}

// Requests the tree cannot serve fail the build (status -1), whatever was
// allocated is freed, and the caller's curves are untouched.
TEST(HullWhiteTree, FailedBuilds) {
  struct Row {
    const char* name;
    std::function<void(TreeInputs&)> change;
  };
  const std::vector<Row> rows = {
      {"no steps", [](TreeInputs& in) { in.args.stepCount = 0; }},
      {"expiry on the valuation date", [](TreeInputs& in) {
         in.exercise.Clear();
         in.exercise.Insert(kT0, 0.0);
       }},
      {"empty zero curve", [](TreeInputs& in) { in.curve.Clear(); }},
      {"no exercise dates", [](TreeInputs& in) { in.exercise.Clear(); }},
      {"a dt of one", [](TreeInputs& in) {
         in.meanReversion.Clear();
         in.meanReversion.Insert(kT0, 365.0 / 25.0);
       }},
      {"zero volatility", [](TreeInputs& in) {
         in.volatility.Clear();
         in.volatility.Insert(kT0, 0.0);
       }},
      // One step of ten years at a = -5000 a year: level 1's top node
      // branches 50001 offsets out, so the offsets of the last level (20
      // years) run past any integer; the tree is refused before one of
      // them is converted.
      {"strongly negative mean reversion", [](TreeInputs& in) {
         in.meanReversion.Clear();
         in.meanReversion.Insert(kT0, -5000.0);
         in.exercise.Clear();
         in.exercise.Insert(kT0 + 3650, 0.0);
         in.args.endDate = kT0 + 4380;
         in.args.stepCount = 1;
       }},
      {"missing list", [](TreeInputs& in) { in.args.volatility = nullptr; }},
      {"over the memory budget", [](TreeInputs& in) { in.args.memoryBudgetBytes = 1024; }},
      {"per-year grid of one date", [](TreeInputs& in) {
         in.args.uniformToExpiry = 0;
         in.exercise.Clear();
         in.exercise.Insert(kT0 - 5, 0.0);
         in.curve.Clear();
         in.curve.Insert(kT0, 0.05);
         in.args.endDate = kT0;
       }},
  };
  for (const Row& r : rows) {
    TreeInputs in(0, 4, 100, 200, 0.1, 0.01, {{0, 0.05}, {200, 0.06}});
    r.change(in);
    const ZeroCurve before = in.curve;
    HullWhiteTree tree(in.args);
    EXPECT_EQ(tree.status(), -1) << r.name;
    EXPECT_EQ(tree.levelCount(), 0) << r.name;
    EXPECT_EQ(in.curve.Count(), before.Count());
    tree.Release();
    tree.Release();
  }
}

// A request for an enormous tree is refused from its size estimate before
// anything large is allocated; the refusal names the limit, the estimate
// and the budget. The lattice keeps numbers per level and buffers as wide
// as its widest level, so a grid of billions of dates needs more memory
// than the budget, while millions of narrower levels are refused for
// their work.
TEST(HullWhiteTree, EnormousTreeIsRefusedFromItsEstimate) {
  struct Row {
    const char* name;
    int steps;
    double a;
    int uniform;
    TreeRefusal::Limit limit;
  };
  const Row rows[] = {{"uniform, 2^31 - 1 steps", 2147483647, 0.1, 1, TreeRefusal::kMemory},
                      {"uniform, 10 million steps", 10000000, 0.1, 1, TreeRefusal::kWork},
                      {"uniform, 100000 steps, no mean reversion", 100000, 0.0, 1, TreeRefusal::kWork},
                      {"per year, 2^31 - 1 steps a year", 2147483647, 0.1, 0, TreeRefusal::kLevels},
                      {"per year, 100000 steps a year", 100000, 0.0, 0, TreeRefusal::kLevels},
                      {"per year, 5000 steps a year", 5000, 0.0, 0, TreeRefusal::kWork}};
  for (const Row& r : rows) {
    TreeInputs in(0, r.steps, 3650, 7300, r.a, 0.01, {{0, 0.05}, {7300, 0.05}}, r.uniform);
    const HullWhiteTree tree(in.args);
    EXPECT_EQ(tree.status(), -1) << r.name;
    EXPECT_EQ(tree.refusal().limit, r.limit) << r.name;
    EXPECT_GT(tree.refusal().estimate, tree.refusal().budget) << r.name;
  }
}

// The work estimate counts the nodes built and fitted, the node-maturities
// the yield walk rolls and the node curves read; a budget just below it refuses the
// tree, one at it builds the same tree.
TEST(HullWhiteTree, WorkBudget) {
  for (int kind : {0, 1}) {
    TreeInputs in(kind, 40, 730, 3650, 0.1, kind == 0 ? 0.01 : 0.2, SlopedCurve());
    const HullWhiteTree full(in.args);
    ASSERT_EQ(full.status(), 0);
    const TreeWorkEstimate& e = full.workEstimate();
    double nodes = 0.0, read = 0.0, rolled = 0.0;
    for (int i = 0; i <= full.lastBuiltLevel(); ++i) nodes += full.LevelNodeCount(i);
    for (int i = 0; i <= full.expiryLevel(); ++i) read += full.LevelNodeCount(i) * full.MaturityCount(i);
    for (int i = 0; kind != 0 && i < full.levelCount(); ++i) rolled += full.LevelNodeCount(i) * full.MaturityCount(i);
    EXPECT_EQ(e.nodes, nodes) << kind;
    // A coarse tree: every node has a state price, and its pricer reads
    // every node.
    const double perNode = kind == 0 ? kTreeNodeWork + kTreeFitWork : kLogTreeNodeWork + kLogTreeFitWork;
    EXPECT_EQ(e.nodeMaturities, perNode * nodes + read + kTreeWalkWork * rolled) << kind;
    in.args.workBudget = e.nodeMaturities;
    EXPECT_EQ(HullWhiteTree(in.args).status(), 0) << kind;
    in.args.workBudget = e.nodeMaturities - 1.0;
    const HullWhiteTree refused(in.args);
    EXPECT_EQ(refused.status(), -1) << kind;
    EXPECT_EQ(refused.refusal().limit, TreeRefusal::kWork) << kind;
    EXPECT_EQ(refused.refusal().estimate, e.nodeMaturities) << kind;
    EXPECT_EQ(refused.refusal().budget, e.nodeMaturities - 1.0) << kind;
  }
}

}  // namespace
}  // namespace lorvex
