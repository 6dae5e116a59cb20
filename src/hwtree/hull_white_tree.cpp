#include "hwtree/hull_white_tree.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <new>

#include "hwtree/time_grid.h"
#include "market/hull_white_factors.h"

namespace lorvex {

namespace {

constexpr double kPerDayFromPerYear = 0.0027397260273972603;  // 1 / 365
constexpr double kSqrtDaysPerYear = 19.1049731745428;          // sqrt(365)
constexpr double kFitTolerance = 1e-7;     // on the repriced discount factor
constexpr int kMaxNewtonPasses = 100;
constexpr double kMaxOffset = 1e8;         // far beyond any budget; keeps casts defined
constexpr double kVolatilityFloor = 1e-6;

// Bytes of one node's rate and discount factor, and at most half a table
// entry of branching (offset and two probabilities, 20 bytes) when no two
// levels share a geometry.
constexpr double kBytesPerNode = 2 * 8 + 10;
// Bytes a level costs at least: its record, its grid date and three nodes
// (every level after the root has at least three).
constexpr double kBytesPerLevel = 12 * 8 + 8 + 3 * kBytesPerNode;
// More levels than this never fit the budget with a mean reversion a
// pricer would use (widths grow until j a dt reaches 0.18, so a million
// levels of a few nodes need a dt near 1/a); refusing them before the grid
// is laid keeps a refusal fast.
constexpr double kMaxLevels = 1.0e6;
// Below this j a dt the top node of an equal-step lattice cannot branch one
// offset lower (the bound is 1 - sqrt(2/3) = 0.1835; kept under it).
constexpr double kNoNarrowingBelow = 0.17;

// One step's geometry: spacing of this level and the next, the step's
// variance V = sigma^2 dt and D = 2 dx'^2 of the probability formulas.
struct StepGeometry {
  double dx;
  double dt;
  double a;
  double v;
  double dxNext;
  double d;
};

struct Branch {
  double offset;  // middle successor's offset from the next level's centre
  double pUp;
  double pDown;
};

// Branching of the node at offset j >= 0 from the centre. The middle
// successor is the next level's node nearest the expected state
// mu = j dx (1 - a dt); the probabilities match the mean and variance of
// the step. The top node branches one offset lower when that still gives
// three non-negative probabilities, which is what stops the lattice from
// widening under mean reversion, but never below the node under it.
Branch BranchNode(int j, bool top, bool hasPrev, double prevOffset, const StepGeometry& g) {
  const double mu = j * g.dx * (1.0 - g.a * g.dt);
  double k = std::floor(mu / g.dxNext + 0.5);
  if (top) {
    const double e = mu - (k - 1.0) * g.dxNext;
    const double pu = ((e + g.dxNext) * e + g.v) / g.d;
    const double pd = (e * e + g.v - e * g.dxNext) / g.d;
    if (pu >= 0.0 && 1.0 - pu - pd >= 0.0 && pd >= 0.0) k = k - 1.0;
    if (hasPrev && k < prevOffset) k = prevOffset;
  }
  const double e = mu - k * g.dxNext;
  Branch b{k, ((e + g.dxNext) * e + g.v) / g.d, (e * e + g.v - e * g.dxNext) / g.d};
  if (top && (b.pUp < 0.0 || b.pDown < 0.0 || b.pUp + b.pDown > 1.0)) {
    b.pUp = 1.0;
    b.pDown = 0.0;
  }
  return b;
}

std::vector<double> Dates(const ZeroCurve& curve) {
  std::vector<double> xs;
  xs.reserve(static_cast<std::size_t>(curve.Count()));
  for (const CurvePoint& p : curve) xs.push_back(p.x);
  return xs;
}

// The same dates with every value passed through f.
template <class F>
ZeroCurve MapValues(const ZeroCurve& curve, F f) {
  std::vector<double> xs = Dates(curve);
  std::vector<double> ys;
  ys.reserve(xs.size());
  for (const CurvePoint& p : curve) ys.push_back(f(p.y));
  return ZeroCurve(static_cast<int>(xs.size()), xs.data(), ys.data());
}

bool ConstantValues(const ZeroCurve& curve) {
  for (const CurvePoint& p : curve) {
    if (p.y != curve.begin()->y) return false;
  }
  return true;
}

// Fewest nodes the N + 1 equal steps of a uniform lattice can have: with
// constant a and sigma the width grows by one node a side per level until
// j a dt reaches the narrowing bound, and never shrinks. Lets an oversized
// request fail before its grid is laid.
double UniformLatticeNodesAtLeast(int stepCount, double stepDays, double aPerDay) {
  const double n = stepCount;
  double j = n;
  if (aPerDay > 0.0) j = std::min(n, std::floor(kNoNarrowingBelow / (aPerDay * stepDays)));
  j = std::max(j, 0.0);
  return (n + 1.0) + 2.0 * (j * (j + 1.0) / 2.0 + (n - j) * j);
}

template <class T>
void FreeVector(std::vector<T>& v) {
  std::vector<T>().swap(v);
}

}  // namespace

double TreeVolatility(double sigmaPerYear) {
  return sigmaPerYear > 0.0 ? sigmaPerYear : kVolatilityFloor;
}

void HullWhiteTree::Build(const TreeBuildArgs& args) {
  Release();
  try {
    if (!PlanTree(args) || !BuildBranching() || !FitToCurve()) {
      const TreeRefusal refusal = refusal_;
      const TreeWorkEstimate estimate = estimate_;
      Release();
      refusal_ = refusal;
      estimate_ = estimate;
      status_ = -1;
    }
  } catch (const std::exception&) {
    // Out of memory (or a length beyond what a vector can hold): the tree
    // is unusable, and everything built so far is freed.
    Release();
    status_ = -1;
  }
}

void HullWhiteTree::Release() {
  zeroCurve_.Clear();
  meanReversion_.Clear();
  volatility_.Clear();
  exerciseDates_.Clear();
  shapePoints_.Clear();
  transform_ = RateTransform();
  FreeVector(grid_);
  FreeVector(maturitiesAscending_);
  FreeVector(maturitiesDescending_);
  for (auto* v : {&date_, &dt_, &a_, &sigma_, &dx_, &alpha_}) FreeVector(*v);
  for (auto* v : {&jMin_, &nodeCount_, &maturityCount_}) FreeVector(*v);
  FreeVector(nodeBegin_);
  rate_.reset();
  discount_.reset();
  FreeVector(tableBegin_);
  for (auto* v : {&topOffset_, &shift_, &tableOffset_}) FreeVector(*v);
  for (auto* v : {&topUp_, &topDown_, &tableUp_, &tableDown_}) FreeVector(*v);
  levelCount_ = 0;
  expiryLevel_ = 0;
  builtLast_ = 0;
  firstYieldLevel_ = 0;
  maxNodes_ = 0;
  refusal_ = TreeRefusal();
  estimate_ = TreeWorkEstimate();
  status_ = 0;
}

bool HullWhiteTree::Refuse(TreeRefusal::Limit limit, double estimate, double budget) {
  refusal_.limit = limit;
  refusal_.estimate = estimate;
  refusal_.budget = budget;
  return false;
}

bool HullWhiteTree::PlanTree(const TreeBuildArgs& args) {
  if (args.exerciseDates == nullptr || args.zeroCurve == nullptr ||
      args.meanReversion == nullptr || args.volatility == nullptr || args.shapePoints == nullptr) {
    return false;
  }
  zeroCurve_ = *args.zeroCurve;
  meanReversion_ = *args.meanReversion;
  volatility_ = *args.volatility;
  exerciseDates_ = *args.exerciseDates;
  shapePoints_ = *args.shapePoints;
  kind_ = args.kind;
  stepCount_ = args.stepCount;
  startDate_ = args.startDate;
  endDate_ = args.endDate;
  uniform_ = (args.uniformToExpiry & 0xff) != 0;
  status_ = 0;
  if (zeroCurve_.status() != 0 || meanReversion_.status() != 0 || volatility_.status() != 0 ||
      exerciseDates_.status() != 0 || shapePoints_.status() != 0) {
    return false;
  }
  if (!std::isfinite(startDate_) || !std::isfinite(endDate_) || !(args.memoryBudgetBytes > 0.0) ||
      !(args.workBudget > 0.0)) {
    return false;
  }

  std::vector<ShapePoint> pairs;
  if (kind_ == RateTransform::kShape) {
    for (const CurvePoint& p : shapePoints_) pairs.push_back({p.x, p.y});
  }
  transform_ = RateTransform(kind_, pairs);
  if (transform_.status() != 0) return false;
  if (exerciseDates_.Empty() || zeroCurve_.Empty()) return false;
  expiryDate_ = exerciseDates_.XAt(exerciseDates_.Count());

  // The tree takes a per day and sigma per square-root day.
  meanReversion_ = MapValues(meanReversion_, [](double a) { return a * kPerDayFromPerYear; });
  volatility_ = MapValues(volatility_, [](double s) { return s / kSqrtDaysPerYear; });
  if (meanReversion_.status() != 0 || volatility_.status() != 0) return false;
  if (meanReversion_.Empty() || volatility_.Empty()) return false;

  // An equal-step lattice to the expiry is at least this large, which lets
  // an oversized request fail before its grid is laid.
  const bool priced = args.yieldsFromDate != std::numeric_limits<double>::infinity();
  if (uniform_ && priced && stepCount_ >= 1 && expiryDate_ > startDate_ && ConstantValues(meanReversion_) &&
      ConstantValues(volatility_)) {
    const double stepDays = (expiryDate_ - startDate_) / stepCount_;
    const double nodes = UniformLatticeNodesAtLeast(stepCount_, stepDays, meanReversion_.begin()->y);
    estimate_.levels = stepCount_ + 2.0;
    estimate_.nodes = nodes;
    estimate_.nodeMaturities = kTreeNodeWork * nodes;
    estimate_.bytes = nodes * kBytesPerNode;
    if (nodes * kBytesPerNode > args.memoryBudgetBytes) {
      return Refuse(TreeRefusal::kMemory, nodes * kBytesPerNode, args.memoryBudgetBytes);
    }
    if (kTreeNodeWork * nodes > args.workBudget) {
      return Refuse(TreeRefusal::kWork, kTreeNodeWork * nodes, args.workBudget);
    }
  }

  TimeGridInput in;
  in.startDate = startDate_;
  in.endDate = endDate_;
  in.stepCount = stepCount_;
  in.uniform = uniform_;
  in.exerciseDates = Dates(exerciseDates_);
  in.curveDates = Dates(zeroCurve_);
  in.maxDates = static_cast<std::size_t>(std::min(args.memoryBudgetBytes / kBytesPerLevel, kMaxLevels));
  TimeGrid grid = BuildTimeGrid(in);
  if (grid.tooLong) {
    const double limit = static_cast<double>(in.maxDates);
    return Refuse(TreeRefusal::kLevels, limit + 1.0, limit);
  }
  if (grid.status != 0) return false;
  grid_.swap(grid.dates);
  maturitiesAscending_.swap(grid.maturities);
  endDate_ = grid.endDate;
  latticeEnd_ = grid.latticeEnd;
  levelCount_ = static_cast<int>(grid_.size());
  expiryLevel_ = LevelIndexOf(expiryDate_);
  firstYieldLevel_ = LevelIndexOf(args.yieldsFromDate);
  a0_ = meanReversion_.Interpolate(startDate_);
  sigma0_ = volatility_.Interpolate(startDate_);
  const int last = levelCount_ - 1;
  // The levels a pricer reads: up to the expiry, at least level 1 (the
  // rate spacing reads it); lognormal and shape node yields roll back from
  // the last level.
  const bool walks = kind_ != 0 && firstYieldLevel_ <= expiryLevel_;
  builtLast_ = !priced ? std::min(1, last) : walks ? last : std::max(expiryLevel_, std::min(1, last));
  return PlanWidths(args);
}

int HullWhiteTree::LevelIndexOf(double date) const {
  return static_cast<int>(std::lower_bound(grid_.begin(), grid_.end(), date) - grid_.begin());
}

// Dates, steps, a and sigma per level, the width of every level (from its
// top node alone), then the storage and the work of the levels to be
// built, all before any node is allocated.
bool HullWhiteTree::PlanWidths(const TreeBuildArgs& args) {
  const std::size_t m = grid_.size();
  const int last = levelCount_ - 1;
  date_.reserve(m + 1);
  date_.assign(grid_.begin(), grid_.end());
  date_.push_back(2.0 * date_[m - 1] - date_[m - 2]);
  for (auto* v : {&a_, &sigma_, &dt_, &dx_, &alpha_}) v->reserve(m + 1);
  for (auto* v : {&jMin_, &nodeCount_, &maturityCount_}) v->reserve(m + 1);
  dx_.push_back(0.0);
  nodeCount_.push_back(1);
  jMin_.push_back(0);

  for (int i = 0; i <= last; ++i) {
    const auto li = static_cast<std::size_t>(i);
    a_.push_back(0.5 * (meanReversion_.Interpolate(date_[li]) +
                        meanReversion_.Interpolate(date_[li + 1])));
    sigma_.push_back(0.5 * (volatility_.Interpolate(date_[li + 1]) +
                            volatility_.Interpolate(date_[li])));
    dt_.push_back(date_[li + 1] - date_[li]);
    dx_.push_back(std::sqrt(3.0 * dt_[li]) * sigma_[li]);
    alpha_.push_back(0.0);
    // The branching needs a positive spacing, and a dt >= 1 would turn the
    // expected state to the other side of the centre.
    if (!(dt_[li] > 0.0) || !(sigma_[li] > 0.0) || !std::isfinite(sigma_[li]) ||
        !std::isfinite(a_[li]) || !(a_[li] * dt_[li] < 1.0) || !std::isfinite(dx_[li + 1])) {
      return false;
    }
    maturityCount_.push_back(static_cast<int>(
        maturitiesAscending_.end() -
        std::lower_bound(maturitiesAscending_.begin(), maturitiesAscending_.end(), date_[li])));
    // The top node's offset bounds every offset of the level, the last
    // level's included (its offsets are computed though it has no
    // successors): beyond it no offset is converted to an integer.
    const int jMax = (nodeCount_[li] - 1) / 2;
    const double v = dt_[li] * (sigma_[li] * sigma_[li]);
    const StepGeometry g{dx_[li], dt_[li], a_[li], v, dx_[li + 1], 2.0 * (dx_[li + 1] * dx_[li + 1])};
    const double below = jMax >= 1 ? BranchNode(jMax - 1, false, false, 0.0, g).offset : 0.0;
    const double kTop = BranchNode(jMax, true, jMax >= 1, below, g).offset;
    if (!(kTop >= -1.0) || !(kTop <= kMaxOffset)) return false;
    if (i == last) break;
    const int top = static_cast<int>(kTop);
    nodeCount_.push_back(std::max(2 * top + 3, 1));
    jMin_.push_back(-(top + 1));
  }
  // Level M carries only the extrapolated date, a, sigma and dx.
  a_.push_back(a_[m - 1]);
  sigma_.push_back(sigma_[m - 1]);
  dt_.push_back(0.0);
  alpha_.push_back(0.0);
  jMin_.push_back(0);
  nodeCount_.push_back(0);
  maturityCount_.push_back(0);

  // Size: the nodes of the built levels; the node yields' walk (two
  // levels of bond prices) and its node-maturities; the node curves read.
  TreeWorkEstimate& e = estimate_;
  e = TreeWorkEstimate();
  e.levels = builtLast_ + 1.0;
  int maxNodes = 1;
  for (int i = 0; i <= builtLast_; ++i) {
    const auto li = static_cast<std::size_t>(i);
    const double n = nodeCount_[li];
    maxNodes = std::max(maxNodes, nodeCount_[li]);
    e.nodes += n;
    if (i >= firstYieldLevel_ && i <= expiryLevel_ && (uniform_ || exerciseDates_.Find(date_[li]) != nullptr)) {
      e.nodeMaturities += n * maturityCount_[li];
    }
  }
  if (kind_ != 0 && firstYieldLevel_ <= expiryLevel_) {
    for (int i = firstYieldLevel_; i <= last; ++i) {
      const auto li = static_cast<std::size_t>(i);
      e.nodeMaturities += static_cast<double>(nodeCount_[li]) * maturityCount_[li];
    }
    e.bytes += 3.0 * maxNodes * maturityCount_[static_cast<std::size_t>(firstYieldLevel_)] * 8.0;
  }
  e.nodeMaturities += kTreeNodeWork * e.nodes;
  e.bytes += static_cast<double>(m) * kBytesPerLevel + e.nodes * kBytesPerNode + 4.0 * maxNodes * 8.0;
  if (e.bytes > args.memoryBudgetBytes) return Refuse(TreeRefusal::kMemory, e.bytes, args.memoryBudgetBytes);
  if (e.nodeMaturities > args.workBudget) return Refuse(TreeRefusal::kWork, e.nodeMaturities, args.workBudget);

  maxNodes_ = maxNodes;
  nodeBegin_.assign(m + 1, 0);
  std::size_t total = 0;
  for (int i = 0; i <= builtLast_; ++i) {
    nodeBegin_[static_cast<std::size_t>(i)] = total;
    total += static_cast<std::size_t>(nodeCount_[static_cast<std::size_t>(i)]);
  }
  rate_ = std::make_unique_for_overwrite<double[]>(total);
  discount_ = std::make_unique_for_overwrite<double[]>(total);
  const auto levels = static_cast<std::size_t>(builtLast_) + 1;
  // At most one branching entry per node above the centre (levels share a
  // table only when their geometry agrees to the bit, which fractional
  // grid dates rarely allow).
  std::size_t entries = 0;
  for (std::size_t i = 0; i < levels; ++i) entries += static_cast<std::size_t>(-jMin_[i]);
  tableOffset_.reserve(entries);
  tableUp_.reserve(entries);
  tableDown_.reserve(entries);
  tableBegin_.assign(levels, 0);
  topOffset_.assign(levels, 0);
  shift_.assign(levels, 0);
  topUp_.assign(levels, 0.0);
  topDown_.assign(levels, 0.0);
  maturitiesDescending_.assign(maturitiesAscending_.rbegin(), maturitiesAscending_.rend());
  return true;
}

bool HullWhiteTree::BuildBranching() {
  const int last = levelCount_ - 1;
  StepGeometry tableGeometry{};
  std::size_t tableStart = 0;
  for (int i = 0; i <= builtLast_; ++i) {
    const auto li = static_cast<std::size_t>(i);
    const int h = -jMin_[li];
    const double v = dt_[li] * (sigma_[li] * sigma_[li]);
    const StepGeometry g{dx_[li], dt_[li], a_[li], v, dx_[li + 1], 2.0 * (dx_[li + 1] * dx_[li + 1])};
    // The table of the level before serves when the geometry is the same
    // to the bit (it is the last table, so it can grow).
    const bool same = i > 0 && g.dx == tableGeometry.dx && g.dt == tableGeometry.dt && g.a == tableGeometry.a &&
                      g.v == tableGeometry.v && g.dxNext == tableGeometry.dxNext && g.d == tableGeometry.d;
    if (!same) {
      tableStart = tableOffset_.size();
      tableGeometry = g;
    }
    for (std::size_t c = tableOffset_.size() - tableStart; c < static_cast<std::size_t>(h); ++c) {
      // PlanWidths bounded the top offset, and so every offset below it.
      const Branch b = BranchNode(static_cast<int>(c), false, false, 0.0, g);
      tableOffset_.push_back(static_cast<int>(b.offset));
      tableUp_.push_back(b.pUp);
      tableDown_.push_back(b.pDown);
    }
    tableBegin_[li] = tableStart;
    const double below = h >= 1 ? tableOffset_[tableStart + static_cast<std::size_t>(h) - 1] : 0.0;
    const Branch top = BranchNode(h, true, h >= 1, below, g);
    topOffset_[li] = static_cast<int>(top.offset);
    topUp_[li] = top.pUp;
    topDown_[li] = top.pDown;
    if (i < last) {
      // Offsets become indices of the middle successor in the next level;
      // the offsets rise with the node, so the top node and its mirror
      // are the ones that could leave the next level's inner nodes.
      shift_[li] = -jMin_[li + 1];
      const int highest = topOffset_[li] + shift_[li];
      const int lowest = -topOffset_[li] + shift_[li];
      const int inner = nodeCount_[li + 1] - 2;
      if (lowest < 1 || highest < 1 || lowest > inner || highest > inner) return false;
    }
  }
  return true;
}

// Forward induction: level i is shifted by alpha so that the Arrow-Debreu
// prices Q of its nodes, discounted one step, reprice the zero curve's
// discount factor to the next level date; Newton's method on alpha. Q then
// moves to the next level along the branches.
bool HullWhiteTree::FitToCurve() {
  const int last = builtLast_;
  std::size_t widest = static_cast<std::size_t>(maxNodes_);
  if (last + 1 < levelCount_) widest = std::max(widest, static_cast<std::size_t>(nodeCount_[Lv(last + 1)]));
  std::vector<double> q(widest, 0.0);
  std::vector<double> qNext(widest, 0.0);
  q[0] = 1.0;
  double guess = transform_.StateFromRate(zeroCurve_.Interpolate(date_[1]));
  for (int i = 0; i <= last; ++i) {
    const auto li = static_cast<std::size_t>(i);
    const std::size_t base = nodeBegin_[li];
    const int n = nodeCount_[li];
    const int jMin = jMin_[li];
    const double dx = dx_[li];
    const double dt = dt_[li];
    const double dtY = dt / 365.0;
    const double next = date_[li + 1];
    const double target = std::exp(-zeroCurve_.Interpolate(next) * (next - startDate_) / 365.0);

    double alpha = guess;
    bool converged = false;
    for (int pass = 0; pass < kMaxNewtonPasses && !converged; ++pass) {
      double s = 0.0;
      double sPrime = 0.0;
      for (int mm = 0; mm < n; ++mm) {
        const double x = (mm + jMin) * dx + alpha;
        const double r = transform_.RateFromState(x);
        const double g = 1.0 / transform_.StateSlope(r);
        const double d = std::exp(-r * dtY);
        const double qm = q[static_cast<std::size_t>(mm)];
        s += qm * d;
        sPrime += -qm * d * g * dtY;
      }
      const double diff = s - target;
      if (sPrime == 0.0) return false;
      alpha = alpha - diff / sPrime;
      if (!std::isfinite(alpha)) return false;
      converged = std::fabs(diff) <= kFitTolerance;
    }
    if (!converged) return false;
    alpha_[li] = alpha;
    guess = alpha;

    const bool carry = i < last;
    if (carry) std::fill(qNext.begin(), qNext.begin() + nodeCount_[li + 1], 0.0);
    for (int mm = 0; mm < n; ++mm) {
      const std::size_t node = base + static_cast<std::size_t>(mm);
      const double r = transform_.RateFromState((mm + jMin) * dx + alpha);
      // The Arrow-Debreu step and the stored discount factor round their
      // exponents apart (r dt/365 taken two ways); one exponential serves
      // both when the exponents agree to the bit.
      const double toNext = -r * dtY;
      const double stored = -r * dt / 365.0;
      const double discount = std::exp(stored);
      if (carry) {
        const double v = (toNext == stored ? discount : std::exp(toNext)) * q[static_cast<std::size_t>(mm)];
        const NodeBranch b = Branching(i, mm);
        const auto s = static_cast<std::size_t>(b.successor);
        const double pu = b.pUp;
        const double pd = b.pDown;
        qNext[s + 1] += pu * v;
        qNext[s] += (1.0 - pu - pd) * v;
        qNext[s - 1] += pd * v;
      }
      rate_[node] = r;
      discount_[node] = discount;
      if (!std::isfinite(r)) return false;
    }
    q.swap(qNext);
  }
  return true;
}

void HullWhiteTree::RollbackLevel(int i, const double* next, double* values) const {
  const std::size_t base = nodeBegin_[Lv(i)];
  const int n = nodeCount_[Lv(i)];
  for (int j = 0; j < n; ++j) {
    const std::size_t node = base + static_cast<std::size_t>(j);
    const NodeBranch b = Branching(i, j);
    const auto succ = static_cast<std::size_t>(b.successor);
    const double pu = b.pUp;
    const double pd = b.pDown;
    values[j] = discount_[node] * ((1.0 - pu - pd) * next[succ] + (pu * next[succ + 1] + pd * next[succ - 1]));
  }
}

double HullWhiteTree::B(double t1, double t2) const { return HullWhiteBFactor(a0_, t2 - t1, 1e-10); }

double HullWhiteTree::LnA(double t1, double t2) const {
  const double t0 = startDate_;
  // Central difference over the two days around t1, or from t0 itself when
  // t1 is less than a day after it (as the closed-form A does).
  const CurveSlopeSpan span = ZeroRateSlopeSpan(zeroCurve_, t0, t1);
  const double slope = span.rise / span.days;
  const double r1 = zeroCurve_.Interpolate(t1);
  const double forward = r1 + (t1 - t0) * slope;
  const double logRatio = (r1 * (t1 - t0) - zeroCurve_.Interpolate(t2) * (t2 - t0)) / 365.0;
  double w = 0.0;
  if (std::fabs(a0_) < 1e-10) {
    const double u = (t2 - t1) * sigma0_ / 365.0;
    w = 0.5 * (t1 - t0) * (u * u);
  } else {
    const double u = (1.0 - std::exp(-a0_ * (t2 - t1))) * sigma0_ / 365.0;
    w = 0.25 * (u * u) * (1.0 - std::exp(-2.0 * a0_ * (t1 - t0))) / (a0_ * a0_ * a0_);
  }
  return logRatio + B(t1, t2) * forward / 365.0 - w;
}

HullWhiteTree::TenorTerms HullWhiteTree::TenorRateTerms(int i, double days) const {
  TenorTerms t{};
  t.days = days < 1.0 ? 1.0 : days;
  const double t1 = LevelDate(i);
  t.dtY = (LevelDate(i + 1) - LevelDate(i)) / 365.0;
  const double t2 = t1 + 365.0 * t.dtY;
  t.lnA1 = LnA(t1, t2);
  t.b1 = B(t1, t2);
  t.b2 = B(t1, t1 + t.days);
  t.lnA2 = LnA(t1, t1 + t.days);
  return t;
}

double HullWhiteTree::TenorRate(int i, int j, double days) const {
  const double r = NodeRate(i, j);
  if (kind_ != 0) return r;
  return TenorRateFromTerms(TenorRateTerms(i, days), r);
}

}  // namespace lorvex
