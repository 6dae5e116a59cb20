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

// Bytes a level costs: its numbers (date, step, a, sigma, spacing, shift,
// width, maturities, reach) and its grid date, with the grid's own working
// copies.
constexpr double kBytesPerLevel = 12 * 8 + 16;
// Bytes per node of the widest level: the fit's Arrow-Debreu prices, rates
// and branching, a LatticeLevel (rate, discount, three probabilities,
// successor) and a pricer's two levels of values.
constexpr double kBytesPerWidth = 16 * 8;
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

// The geometry of step i of the per-level numbers.
StepGeometry Geometry(const std::vector<double>& dx, const std::vector<double>& dt, const std::vector<double>& a,
                      const std::vector<double>& sigma, std::size_t i) {
  const double v = dt[i] * (sigma[i] * sigma[i]);
  return {dx[i], dt[i], a[i], v, dx[i + 1], 2.0 * (dx[i + 1] * dx[i + 1])};
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
struct LatticeSize {
  double nodes;
  double widest;
};
LatticeSize UniformLatticeAtLeast(int stepCount, double stepDays, double aPerDay) {
  const double n = stepCount;
  double j = n;
  if (aPerDay > 0.0) j = std::min(n, std::floor(kNoNarrowingBelow / (aPerDay * stepDays)));
  j = std::max(j, 0.0);
  return {(n + 1.0) + 2.0 * (j * (j + 1.0) / 2.0 + (n - j) * j), 2.0 * j + 1.0};
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
    if (!PlanTree(args) || !FitToCurve()) {
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
  for (auto* v : {&jMin_, &nodeCount_, &maturityCount_, &reachFrom_, &reachTo_}) FreeVector(*v);
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
  readsInReach_ = args.readsInReach;
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
    const LatticeSize size = UniformLatticeAtLeast(stepCount_, stepDays, meanReversion_.begin()->y);
    const double nodes = size.nodes;
    estimate_.levels = stepCount_ + 2.0;
    estimate_.nodes = nodes;
    estimate_.nodeMaturities = kTreeNodeWork * nodes;
    estimate_.bytes = estimate_.levels * kBytesPerLevel + size.widest * kBytesPerWidth;
    if (estimate_.bytes > args.memoryBudgetBytes) {
      return Refuse(TreeRefusal::kMemory, estimate_.bytes, args.memoryBudgetBytes);
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
// built, all before the fit.
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
    const StepGeometry g = Geometry(dx_, dt_, a_, sigma_, li);
    const double below = jMax >= 1 ? BranchNode(jMax - 1, false, false, 0.0, g).offset : 0.0;
    const double kTop = BranchNode(jMax, true, jMax >= 1, below, g).offset;
    if (!(kTop >= -1.0) || !(kTop <= kMaxOffset)) return false;
    if (i == last) break;
    // The top node and its mirror must branch inside the next level, with
    // room for their up and down successors.
    if (i <= builtLast_ && kTop < 0.0) return false;
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
  // Every node built costs nodeWork; the fit works on the nodes within
  // kSupportDeviations standard deviations of the centre, and the pricer's
  // reads cost args.readWork per node-maturity, on the nodes within
  // kReachDeviations if it reads only the nodes in reach on a tree whose fit
  // narrows the reach (rates above 0; see LatticeLevel). The state's
  // variance is carried from level to level as the branching matches it,
  // V' = V (1 - a dt)^2 + sigma^2 dt.
  const bool logRates = transform_.kind() != RateTransform::kNormal;
  const bool narrowed = args.readsInReach && logRates;
  const double nodeWork = logRates ? kLogTreeNodeWork : kTreeNodeWork;
  const double fitWork = logRates ? kLogTreeFitWork : kTreeFitWork;
  double variance = 0.0;
  for (int i = 0; i <= builtLast_; ++i) {
    const auto li = static_cast<std::size_t>(i);
    const double n = nodeCount_[li];
    maxNodes = std::max(maxNodes, nodeCount_[li]);
    e.nodes += n;
    // Nodes within d standard deviations of the centre, at most the level.
    const double deviation = std::sqrt(variance) / dx_[li];
    auto within = [&](double d) { return std::min(n, 2.0 * std::ceil(d * deviation) + 1.0); };
    e.nodeMaturities += nodeWork * n + fitWork * within(kSupportDeviations);
    if (i >= firstYieldLevel_ && i <= expiryLevel_ && (uniform_ || exerciseDates_.Find(date_[li]) != nullptr)) {
      e.nodeMaturities += args.readWork * (narrowed ? within(kReachDeviations) : n) * maturityCount_[li];
    }
    const double shrink = 1.0 - a_[li] * dt_[li];
    variance = variance * shrink * shrink + sigma_[li] * sigma_[li] * dt_[li];
  }
  if (builtLast_ + 1 < levelCount_) maxNodes = std::max(maxNodes, nodeCount_[Lv(builtLast_ + 1)]);
  if (kind_ != 0 && firstYieldLevel_ <= expiryLevel_) {
    for (int i = firstYieldLevel_; i <= last; ++i) {
      const auto li = static_cast<std::size_t>(i);
      e.nodeMaturities += kTreeWalkWork * static_cast<double>(nodeCount_[li]) * maturityCount_[li];
    }
    e.bytes += 3.0 * maxNodes * maturityCount_[static_cast<std::size_t>(firstYieldLevel_)] * 8.0;
  }
  e.bytes += static_cast<double>(m) * kBytesPerLevel + maxNodes * kBytesPerWidth;
  if (e.bytes > args.memoryBudgetBytes) return Refuse(TreeRefusal::kMemory, e.bytes, args.memoryBudgetBytes);
  if (e.nodeMaturities > args.workBudget) return Refuse(TreeRefusal::kWork, e.nodeMaturities, args.workBudget);
  maxNodes_ = maxNodes;
  maturitiesDescending_.assign(maturitiesAscending_.rbegin(), maturitiesAscending_.rend());
  return true;
}

void HullWhiteTree::LevelBranching(int i, int* successor, double* pUp, double* pMiddle, double* pDown) const {
  const auto li = Lv(i);
  const int h = -jMin_[li];
  const int n = nodeCount_[li];
  const StepGeometry g = Geometry(dx_, dt_, a_, sigma_, li);
  const int shift = i + 1 < levelCount_ ? -jMin_[li + 1] : 0;
  // The node at offset c >= 0 above the centre, as BranchNode gives it
  // (the table of offsets below the top), written to the node m = h + c
  // and mirrored to m = h - c. Each entry is BranchNode's arithmetic; the
  // middle successor's offset k is floor(mu / dx' + 0.5) of a positive
  // number, so the truncation to an integer is that floor.
  const double shrink = 1.0 - g.a * g.dt;
  for (int c = 0; c < h; ++c) {
    const double mu = c * g.dx * shrink;
    const int k = static_cast<int>(mu / g.dxNext + 0.5);
    const double e = mu - k * g.dxNext;
    const double pu = ((e + g.dxNext) * e + g.v) / g.d;
    const double pd = (e * e + g.v - e * g.dxNext) / g.d;
    successor[h + c] = k + shift;
    pUp[h + c] = pu;
    pDown[h + c] = pd;
  }
  const double below = h >= 1 ? successor[h + h - 1] - shift : 0.0;
  const Branch top = BranchNode(h, true, h >= 1, below, g);
  successor[h + h] = static_cast<int>(top.offset) + shift;
  pUp[h + h] = top.pUp;
  pDown[h + h] = top.pDown;
  for (int c = 1; c <= h; ++c) {
    successor[h - c] = 2 * shift - successor[h + c];
    pUp[h - c] = pDown[h + c];
    pDown[h - c] = pUp[h + c];
  }
  if (pMiddle != nullptr) {
    for (int m = 0; m < n; ++m) pMiddle[m] = 1.0 - pUp[m] - pDown[m];
  }
}

HullWhiteTree::NodeBranch HullWhiteTree::Branching(int i, int j) const {
  const auto li = Lv(i);
  const int h = -jMin_[li];
  const int c = j - h;
  const int a = c < 0 ? -c : c;
  const StepGeometry g = Geometry(dx_, dt_, a_, sigma_, li);
  const int shift = i + 1 < levelCount_ ? -jMin_[li + 1] : 0;
  Branch b{};
  if (a == h) {
    const double below = h >= 1 ? BranchNode(h - 1, false, false, 0.0, g).offset : 0.0;
    b = BranchNode(h, true, h >= 1, below, g);
  } else {
    b = BranchNode(a, false, false, 0.0, g);
  }
  const int k = static_cast<int>(b.offset);
  if (c < 0) return {-k + shift, b.pDown, b.pUp};
  return {k + shift, b.pUp, b.pDown};
}

void HullWhiteTree::LevelRatesAt(int i, double alpha, double* rates, int from, int to) const {
  const auto li = Lv(i);
  if (to < 0) to = nodeCount_[li];
  const int jMin = jMin_[li];
  const double dx = dx_[li];
  if (transform_.kind() == RateTransform::kNormal) {
    for (int m = from; m < to; ++m) rates[m] = (m + jMin) * dx + alpha;
  } else if (transform_.ExponentialRates()) {
    for (int m = from; m < to; ++m) rates[m] = std::exp((m + jMin) * dx + alpha);
  } else {
    for (int m = from; m < to; ++m) rates[m] = transform_.RateFromState((m + jMin) * dx + alpha);
  }
}

double HullWhiteTree::NodeRate(int i, int j) const {
  const auto li = Lv(i);
  return transform_.RateFromState((j + jMin_[li]) * dx_[li] + alpha_[li]);
}

double HullWhiteTree::StepDiscount(int i, int j) const {
  return std::exp(-NodeRate(i, j) * dt_[Lv(i)] / 365.0);
}

void HullWhiteTree::LoadLevel(int i, LatticeLevel& level) const {
  const auto li = Lv(i);
  const int n = nodeCount_[li];
  const double dt = dt_[li];
  level.index = i;
  level.count = n;
  level.date = date_[li];
  level.nextDate = date_[li + 1];
  level.dt = dt;
  level.dx = dx_[li];
  level.reachFrom = li < reachFrom_.size() ? reachFrom_[li] : 0;
  level.reachTo = li < reachTo_.size() ? reachTo_[li] : n;
  double* rates = level.rate.data();
  double* discount = level.discount.data();
  LevelRatesAt(i, alpha_[li], rates);
  for (int m = 0; m < n; ++m) discount[m] = std::exp(-rates[m] * dt / 365.0);
  LevelBranching(i, level.successor.data(), level.pUp.data(), level.pMiddle.data(), level.pDown.data());
}

void HullWhiteTree::RollbackLevel(int i, const double* next, double* values) const {
  LatticeLevel level;
  level.Reserve(static_cast<std::size_t>(LevelNodeCount(i)));
  LoadLevel(i, level);
  lorvex::RollbackLevel(level, next, values);
}

namespace {

// The Newton search's sums over a level for the shift alpha: S, the
// Arrow-Debreu prices discounted one step, and its derivative S' in alpha.
// g = dr/dx is 1 / StateSlope(r), as the transform gives it.
template <class RateOf, class SlopeOf>
void DiscountSums(int from, int to, int jMin, double dx, double alpha, double dtY, const double* q, RateOf rateOf,
                  SlopeOf slopeOf, double& s, double& sPrime) {
  s = 0.0;
  sPrime = 0.0;
  for (int mm = from; mm < to; ++mm) {
    const double x = (mm + jMin) * dx + alpha;
    const double r = rateOf(x);
    const double g = 1.0 / slopeOf(r);
    const double d = std::exp(-r * dtY);
    const double qm = q[mm];
    s += qm * d;
    sPrime += -qm * d * g * dtY;
  }
}

}  // namespace

// Forward induction: level i is shifted by alpha so that the Arrow-Debreu
// prices Q of its nodes, discounted one step, reprice the zero curve's
// discount factor to the next level date; Newton's method on alpha. Q then
// moves to the next level along the branches.
bool HullWhiteTree::FitToCurve() {
  const int last = builtLast_;
  const auto widest = static_cast<std::size_t>(maxNodes_);
  std::vector<double> q(widest, 0.0);
  std::vector<double> qNext(widest, 0.0);
  std::vector<double> rates(widest, 0.0);
  std::vector<double> pUp(widest, 0.0);
  std::vector<double> pDown(widest, 0.0);
  std::vector<int> successor(widest, 0);
  q[0] = 1.0;
  reachFrom_.assign(static_cast<std::size_t>(last) + 1, 0);
  reachTo_.assign(static_cast<std::size_t>(last) + 1, 0);
  const RateTransform& t = transform_;
  double guess = t.StateFromRate(zeroCurve_.Interpolate(date_[1]));
  for (int i = 0; i <= last; ++i) {
    const auto li = static_cast<std::size_t>(i);
    const int n = nodeCount_[li];
    const int jMin = jMin_[li];
    const double dx = dx_[li];
    const double dt = dt_[li];
    const double dtY = dt / 365.0;
    const double next = date_[li + 1];
    const double target = std::exp(-zeroCurve_.Interpolate(next) * (next - startDate_) / 365.0);

    // Far from the centre the Arrow-Debreu prices underflow to 0: the sums
    // and the move to the next level run over the nodes [from, to) whose
    // price is not 0, which leaves every sum as it is (adding 0 changes no
    // bit). Within them, the nodes whose price is a negligible share of the
    // level's total are out of reach for the pricers.
    int from = 0;
    while (from < n && q[static_cast<std::size_t>(from)] == 0.0) ++from;
    int to = n;
    while (to > from && q[static_cast<std::size_t>(to) - 1] == 0.0) --to;
    double total = 0.0;
    for (int mm = from; mm < to; ++mm) total += q[static_cast<std::size_t>(mm)];
    const double negligible = kNegligibleStateShare * total;
    int reachFrom = from;
    while (reachFrom < to && q[static_cast<std::size_t>(reachFrom)] < negligible) ++reachFrom;
    int reachTo = to;
    while (reachTo > reachFrom && q[static_cast<std::size_t>(reachTo) - 1] < negligible) --reachTo;
    if (!readsInReach_ || reachFrom == reachTo || t.kind() == RateTransform::kNormal) {
      // A pricer that reads every node, no price to compare with (all 0
      // or not finite), or a normal tree, whose far nodes carry rates far
      // below 0 and bond prices without bound (e^240 on a wide tree):
      // every node counts.
      reachFrom = 0;
      reachTo = n;
    }
    reachFrom_[li] = reachFrom;
    reachTo_[li] = reachTo;

    double alpha = guess;
    bool converged = false;
    for (int pass = 0; pass < kMaxNewtonPasses && !converged; ++pass) {
      double s = 0.0;
      double sPrime = 0.0;
      switch (t.kind()) {
        case RateTransform::kNormal:
          DiscountSums(
              from, to, jMin, dx, alpha, dtY, q.data(), [](double x) { return x; }, [](double) { return 1.0; }, s,
              sPrime);
          break;
        case RateTransform::kLognormal:
          DiscountSums(
              from, to, jMin, dx, alpha, dtY, q.data(), [](double x) { return std::exp(x); },
              [](double r) { return r > 0.0 ? 1.0 / r : 0.0; }, s, sPrime);
          break;
        default:
          if (t.ExponentialRates()) {
            // The shape g(r) = r: StateSlope(r) is 1 / exp(ln r), ln 0 for
            // a rate below 0, to the bit.
            DiscountSums(
                from, to, jMin, dx, alpha, dtY, q.data(), [](double x) { return std::exp(x); },
                [](double r) { return 1.0 / std::exp(std::log(r < 0.0 ? 0.0 : r)); }, s, sPrime);
            break;
          }
          DiscountSums(
              from, to, jMin, dx, alpha, dtY, q.data(), [&t](double x) { return t.RateFromState(x); },
              [&t](double r) { return t.StateSlope(r); }, s, sPrime);
          break;
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

    // Every node's rate must be finite. The normal and exponential forms are
    // monotone in the state, so their end nodes tell; the steps to the next
    // level need the rates where the prices are not 0.
    const bool monotone = t.kind() == RateTransform::kNormal || t.ExponentialRates();
    if (monotone) {
      LevelRatesAt(i, alpha, rates.data(), 0, 1);
      LevelRatesAt(i, alpha, rates.data(), n - 1, n);
      if (!std::isfinite(rates[0]) || !std::isfinite(rates[static_cast<std::size_t>(n) - 1])) return false;
      LevelRatesAt(i, alpha, rates.data(), from, to);
    } else {
      LevelRatesAt(i, alpha, rates.data());
      for (int mm = 0; mm < n; ++mm) {
        if (!std::isfinite(rates[static_cast<std::size_t>(mm)])) return false;
      }
    }
    if (i == last) break;
    LevelBranching(i, successor.data(), pUp.data(), nullptr, pDown.data());
    std::fill(qNext.begin(), qNext.begin() + nodeCount_[li + 1], 0.0);
    for (int mm = from; mm < to; ++mm) {
      const auto m = static_cast<std::size_t>(mm);
      // The one-step discount to the next level, r dt / 365 taken as
      // r (dt / 365) (the stored step discount divides last).
      const double v = std::exp(-rates[m] * dtY) * q[m];
      const auto s = static_cast<std::size_t>(successor[m]);
      const double pu = pUp[m];
      const double pd = pDown[m];
      qNext[s + 1] += pu * v;
      qNext[s] += (1.0 - pu - pd) * v;
      qNext[s - 1] += pd * v;
    }
    q.swap(qNext);
  }
  return true;
}

double HullWhiteTree::B(double t1, double t2) const { return HullWhiteBFactor(a0_, t2 - t1, 1e-10); }

HullWhiteTree::LnAOrigin HullWhiteTree::LnAAt(double t1) const {
  const double t0 = startDate_;
  // Central difference over the two days around t1, or from t0 itself when
  // t1 is less than a day after it (as the closed-form A does).
  const CurveSlopeSpan span = ZeroRateSlopeSpan(zeroCurve_, t0, t1);
  const double slope = span.rise / span.days;
  const double r1 = zeroCurve_.Interpolate(t1);
  LnAOrigin o{};
  o.t1 = t1;
  o.rateSpan = r1 * (t1 - t0);
  o.forward = r1 + (t1 - t0) * slope;
  if (!(std::fabs(a0_) < 1e-10)) o.decay = 1.0 - std::exp(-2.0 * a0_ * (t1 - t0));
  return o;
}

double HullWhiteTree::LnA(const LnAOrigin& o, double t2, double* b) const {
  const double t0 = startDate_;
  const double t1 = o.t1;
  const double logRatio = (o.rateSpan - zeroCurve_.Interpolate(t2) * (t2 - t0)) / 365.0;
  double w = 0.0;
  double bFactor = 0.0;
  if (std::fabs(a0_) < 1e-10) {
    bFactor = t2 - t1;
    const double u = (t2 - t1) * sigma0_ / 365.0;
    w = 0.5 * (t1 - t0) * (u * u);
  } else {
    // B and the variance term share exp(-a0 (t2 - t1)).
    const double shrink = 1.0 - std::exp(-a0_ * (t2 - t1));
    bFactor = shrink / a0_;
    const double u = shrink * sigma0_ / 365.0;
    w = 0.25 * (u * u) * o.decay / (a0_ * a0_ * a0_);
  }
  if (b != nullptr) *b = bFactor;
  return logRatio + bFactor * o.forward / 365.0 - w;
}

HullWhiteTree::LevelTenor HullWhiteTree::LevelTenorTerms(int i) const {
  LevelTenor l{};
  const double t1 = LevelDate(i);
  l.origin = LnAAt(t1);
  l.dtY = (LevelDate(i + 1) - LevelDate(i)) / 365.0;
  l.lnA1 = LnA(l.origin, t1 + 365.0 * l.dtY, &l.b1);
  return l;
}

HullWhiteTree::TenorTerms HullWhiteTree::TenorRateTerms(const LevelTenor& level, double days) const {
  TenorTerms t{};
  t.days = days < 1.0 ? 1.0 : days;
  t.dtY = level.dtY;
  t.lnA1 = level.lnA1;
  t.b1 = level.b1;
  t.lnA2 = LnA(level.origin, level.origin.t1 + t.days, &t.b2);
  return t;
}

double HullWhiteTree::TenorRate(int i, int j, double days) const {
  const double r = NodeRate(i, j);
  if (kind_ != 0) return r;
  return TenorRateFromTerms(TenorRateTerms(i, days), r);
}

}  // namespace lorvex
