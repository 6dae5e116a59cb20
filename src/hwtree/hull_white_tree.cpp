#include "hwtree/hull_white_tree.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <new>

#include "hwtree/time_grid.h"

namespace lorvex {

namespace {

constexpr double kPerDayFromPerYear = 0.0027397260273972603;  // 1 / 365
constexpr double kSqrtDaysPerYear = 19.1049731745428;          // sqrt(365)
constexpr double kFitTolerance = 1e-7;     // on the repriced discount factor
constexpr int kMaxNewtonPasses = 100;
constexpr double kMaxOffset = 1e8;         // far beyond any budget; keeps casts defined
constexpr double kVolatilityFloor = 1e-6;

// Bytes of one node's rate, discount factor, probabilities and successor.
constexpr double kBytesPerNode = 4 * 8 + 4;
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

void HullWhiteTree::NodeBlock::Allocate(std::size_t n) {
  rate.assign(n, 0.0);
  discount.assign(n, 0.0);
  pUp.assign(n, 0.0);
  pDown.assign(n, 0.0);
  successor.assign(n, 0);
}

void HullWhiteTree::NodeBlock::Free() {
  FreeVector(rate);
  FreeVector(discount);
  FreeVector(pUp);
  FreeVector(pDown);
  FreeVector(successor);
}

void HullWhiteTree::Build(const TreeBuildArgs& args) {
  Release();
  try {
    if (!PlanTree(args) || !BuildLevels()) {
      Release();
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
  for (auto* v : {&nodeBegin_, &valueBegin_, &yieldBegin_}) FreeVector(*v);
  front_.Free();
  back_.Free();
  FreeVector(values_);
  FreeVector(yields_);
  levelCount_ = 0;
  expiryLevel_ = 0;
  firstYieldLevel_ = 0;
  keptLevel_ = 0;
  maxNodes_ = 0;
  status_ = 0;
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
  slotCount_ = args.slotCount;
  startDate_ = args.startDate;
  endDate_ = args.endDate;
  uniform_ = (args.uniformToExpiry & 0xff) != 0;
  yieldsFromDate_ = args.yieldsFromDate;
  status_ = 0;
  if (zeroCurve_.status() != 0 || meanReversion_.status() != 0 || volatility_.status() != 0 ||
      exerciseDates_.status() != 0 || shapePoints_.status() != 0) {
    return false;
  }
  if (slotCount_ < 1 || !std::isfinite(startDate_) || !std::isfinite(endDate_) ||
      !(args.memoryBudgetBytes > 0.0)) {
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

  if (uniform_ && stepCount_ >= 1 && expiryDate_ > startDate_ && ConstantValues(meanReversion_) &&
      ConstantValues(volatility_)) {
    const double stepDays = (expiryDate_ - startDate_) / stepCount_;
    const double nodes =
        UniformLatticeNodesAtLeast(stepCount_, stepDays, meanReversion_.begin()->y);
    if (nodes * kBytesPerNode > args.memoryBudgetBytes) return false;
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
  if (grid.status != 0) return false;
  grid_.swap(grid.dates);
  maturitiesAscending_.swap(grid.maturities);
  endDate_ = grid.endDate;
  latticeEnd_ = grid.latticeEnd;
  levelCount_ = static_cast<int>(grid_.size());
  expiryLevel_ = LevelIndexOf(expiryDate_);
  firstYieldLevel_ = LevelIndexOf(yieldsFromDate_);
  a0_ = meanReversion_.Interpolate(startDate_);
  sigma0_ = volatility_.Interpolate(startDate_);
  return PlanWidths(args.memoryBudgetBytes);
}

int HullWhiteTree::LevelIndexOf(double date) const {
  return static_cast<int>(std::lower_bound(grid_.begin(), grid_.end(), date) - grid_.begin());
}

// Dates, steps, a and sigma per level, the width of every level (from its
// top node alone) and the storage the whole tree will take, level by level
// before any node is allocated, so that an oversized request stops at the
// first level that crosses the budget.
bool HullWhiteTree::PlanWidths(double budgetBytes) {
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

  const bool anyYields = firstYieldLevel_ <= expiryLevel_;
  double bytes = static_cast<double>(m) * kBytesPerLevel;
  int maxNodes = 1;
  int maxBackNodes = 0;
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

    const double n = nodeCount_[li];
    bytes += n * kBytesPerNode;
    if (i <= expiryLevel_) {
      bytes += n * slotCount_ * 8.0;
      if (anyYields && i >= firstYieldLevel_) bytes += n * maturityCount_[li] * 8.0;
    } else {
      maxBackNodes = std::max(maxBackNodes, nodeCount_[li]);
    }
    if (bytes > budgetBytes) return false;
    if (i == last) break;
    const int jMax = (nodeCount_[li] - 1) / 2;
    const double v = dt_[li] * (sigma_[li] * sigma_[li]);
    const StepGeometry g{dx_[li], dt_[li], a_[li], v, dx_[li + 1], 2.0 * (dx_[li + 1] * dx_[li + 1])};
    const double below = jMax >= 1 ? BranchNode(jMax - 1, false, false, 0.0, g).offset : 0.0;
    const double kTop = BranchNode(jMax, true, jMax >= 1, below, g).offset;
    if (!(kTop >= -1.0) || !(kTop <= kMaxOffset)) return false;
    const int top = static_cast<int>(kTop);
    nodeCount_.push_back(std::max(2 * top + 3, 1));
    jMin_.push_back(-(top + 1));
    maxNodes = std::max(maxNodes, nodeCount_[li + 1]);
  }
  // Level M carries only the extrapolated date, a, sigma and dx.
  a_.push_back(a_[m - 1]);
  sigma_.push_back(sigma_[m - 1]);
  dt_.push_back(0.0);
  alpha_.push_back(0.0);
  jMin_.push_back(0);
  nodeCount_.push_back(0);
  maturityCount_.push_back(0);
  // The zero-bond prices of the levels past the expiry roll through two
  // level-sized buffers; the fit keeps two levels of Arrow-Debreu prices.
  if (anyYields && expiryLevel_ < last) {
    bytes += 2.0 * maxBackNodes * maturityCount_[static_cast<std::size_t>(expiryLevel_) + 1] * 8.0;
  }
  bytes += 2.0 * maxNodes * 8.0;
  if (bytes > budgetBytes) return false;
  nodeBegin_.assign(m + 1, 0);
  valueBegin_.assign(m + 1, 0);
  yieldBegin_.assign(m + 1, 0);

  maxNodes_ = maxNodes;
  keptLevel_ = std::max(expiryLevel_, std::min(1, last));
  std::size_t front = 0;
  std::size_t back = 0;
  std::size_t valuePos = 0;
  std::size_t yieldPos = 0;
  for (int i = 0; i <= last; ++i) {
    const auto li = static_cast<std::size_t>(i);
    const auto n = static_cast<std::size_t>(nodeCount_[li]);
    if (i <= keptLevel_) {
      nodeBegin_[li] = front;
      front += n;
    } else {
      nodeBegin_[li] = back;
      back += n;
    }
    if (i <= expiryLevel_) {
      valueBegin_[li] = valuePos;
      valuePos += n * static_cast<std::size_t>(slotCount_);
      if (anyYields && i >= firstYieldLevel_) {
        yieldBegin_[li] = yieldPos;
        yieldPos += n * static_cast<std::size_t>(maturityCount_[li]);
      }
    }
  }
  front_.Allocate(front);
  back_.Allocate(back);
  values_.assign(valuePos, 0.0);
  yields_.assign(yieldPos, 0.0);
  return true;
}

bool HullWhiteTree::BuildLevels() { return BuildBranching() && FitToCurve() && BuildNodeYields(); }

bool HullWhiteTree::BuildBranching() {
  const int last = levelCount_ - 1;
  for (int i = 0; i <= last; ++i) {
    const auto li = static_cast<std::size_t>(i);
    NodeBlock& block = Block(i);
    const std::size_t base = nodeBegin_[li];
    const int n = nodeCount_[li];
    const int h = -jMin_[li];
    const double v = dt_[li] * (sigma_[li] * sigma_[li]);
    const StepGeometry g{dx_[li], dt_[li], a_[li], v, dx_[li + 1], 2.0 * (dx_[li + 1] * dx_[li + 1])};
    double prevOffset = 0.0;
    for (int mm = h; mm < n; ++mm) {
      const Branch b = BranchNode(mm - h, mm == n - 1, mm > h, prevOffset, g);
      prevOffset = b.offset;
      const int k = static_cast<int>(b.offset);
      const std::size_t up = base + static_cast<std::size_t>(mm);
      const std::size_t mirror = base + static_cast<std::size_t>(2 * h - mm);
      block.successor[up] = k;
      block.pUp[up] = b.pUp;
      block.pDown[up] = b.pDown;
      block.successor[mirror] = -k;
      block.pUp[mirror] = b.pDown;
      block.pDown[mirror] = b.pUp;
    }
    if (i < last) {
      // Offsets become indices of the middle successor in the next level.
      const int shift = -jMin_[li + 1];
      for (int mm = 0; mm < n; ++mm) {
        int& s = block.successor[base + static_cast<std::size_t>(mm)];
        s += shift;
        if (s < 1 || s > nodeCount_[li + 1] - 2) return false;
      }
    } else {
      for (int mm = 0; mm < n; ++mm) block.successor[base + static_cast<std::size_t>(mm)] = 0;
    }
  }
  return true;
}

// Forward induction: level i is shifted by alpha so that the Arrow-Debreu
// prices Q of its nodes, discounted one step, reprice the zero curve's
// discount factor to the next level date; Newton's method on alpha. Q then
// moves to the next level along the branches.
bool HullWhiteTree::FitToCurve() {
  const int last = levelCount_ - 1;
  std::vector<double> q(static_cast<std::size_t>(maxNodes_), 0.0);
  std::vector<double> qNext(static_cast<std::size_t>(maxNodes_), 0.0);
  q[0] = 1.0;
  double guess = transform_.StateFromRate(zeroCurve_.Interpolate(date_[1]));
  for (int i = 0; i <= last; ++i) {
    const auto li = static_cast<std::size_t>(i);
    NodeBlock& block = Block(i);
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

    if (i < last) std::fill(qNext.begin(), qNext.begin() + nodeCount_[li + 1], 0.0);
    for (int mm = 0; mm < n; ++mm) {
      const std::size_t node = base + static_cast<std::size_t>(mm);
      const double r = transform_.RateFromState((mm + jMin) * dx + alpha);
      if (i < last) {
        const double v = std::exp(-r * dtY) * q[static_cast<std::size_t>(mm)];
        const auto s = static_cast<std::size_t>(block.successor[node]);
        const double pu = block.pUp[node];
        const double pd = block.pDown[node];
        qNext[s + 1] += pu * v;
        qNext[s] += (1.0 - pu - pd) * v;
        qNext[s - 1] += pd * v;
      }
      block.rate[node] = r;
      block.discount[node] = std::exp(-r * dt / 365.0);
      if (!std::isfinite(r)) return false;
    }
    q.swap(qNext);
  }
  return true;
}

// Backward induction of zero-coupon bond prices for every maturity on or
// after each level date, turned into continuously compounded yields on the
// levels the pricers read. A bond maturing within a day of the level date
// is worth 1.
bool HullWhiteTree::BuildNodeYields() {
  const int last = levelCount_ - 1;
  maturitiesDescending_.assign(maturitiesAscending_.rbegin(), maturitiesAscending_.rend());
  const double* mat = maturitiesDescending_.data();
  if (firstYieldLevel_ <= expiryLevel_) {
    std::vector<double> rolling[2];
    if (expiryLevel_ < last) {
      int widest = 0;
      for (int i = expiryLevel_ + 1; i <= last; ++i) widest = std::max(widest, nodeCount_[static_cast<std::size_t>(i)]);
      const std::size_t size = static_cast<std::size_t>(widest) *
                               static_cast<std::size_t>(maturityCount_[static_cast<std::size_t>(expiryLevel_) + 1]);
      rolling[0].assign(size, 0.0);
      rolling[1].assign(size, 0.0);
    }
    const double* nextPrices = nullptr;
    int nextCount = 0;
    for (int i = last; i >= firstYieldLevel_; --i) {
      const auto li = static_cast<std::size_t>(i);
      const NodeBlock& block = Block(i);
      const std::size_t base = nodeBegin_[li];
      const int n = nodeCount_[li];
      const int cnt = maturityCount_[li];
      const auto stride = static_cast<std::size_t>(cnt);
      const double t = date_[li];
      double* prices = i <= expiryLevel_ ? yields_.data() + yieldBegin_[li] : rolling[i & 1].data();
      for (int mm = 0; mm < n; ++mm) {
        const std::size_t node = base + static_cast<std::size_t>(mm);
        double* out = prices + static_cast<std::size_t>(mm) * stride;
        const double* pMid = nullptr;
        double pu = 0.0, pd = 0.0, pm = 0.0, disc = 0.0;
        if (i < last) {
          const auto s = static_cast<std::size_t>(block.successor[node]);
          const auto nextStride = static_cast<std::size_t>(nextCount);
          pMid = nextPrices + s * nextStride;
          pu = block.pUp[node];
          pd = block.pDown[node];
          pm = 1.0 - pu - pd;
          disc = block.discount[node];
        }
        for (int k = 0; k < cnt; ++k) {
          // A maturity past the level date is a later level's date, so the
          // next level lists it (k < nextCount) whenever it is read.
          if (std::fabs(t - mat[k]) < 1.0 || pMid == nullptr || k >= nextCount) {
            out[k] = 1.0;
          } else {
            const auto nextStride = static_cast<std::size_t>(nextCount);
            const double* pUpRow = pMid + nextStride;
            const double* pDownRow = pMid - nextStride;
            out[k] = disc * (pm * pMid[k] + pu * pUpRow[k] + pd * pDownRow[k]);
          }
        }
      }
      nextPrices = prices;
      nextCount = cnt;
    }
    for (int i = firstYieldLevel_; i <= expiryLevel_; ++i) {
      const auto li = static_cast<std::size_t>(i);
      const int n = nodeCount_[li];
      const int cnt = maturityCount_[li];
      const std::size_t base = nodeBegin_[li];
      double* y = yields_.data() + yieldBegin_[li];
      for (int mm = 0; mm < n; ++mm) {
        const double rate = front_.rate[base + static_cast<std::size_t>(mm)];
        for (int k = 0; k < cnt; ++k, ++y) {
          const double tau = (mat[k] - date_[li]) / 365.0;
          if (tau > 0.0) {
            *y = -std::log(*y) / tau;
          } else {
            *y = k >= 1 ? rate : 0.0;
          }
        }
      }
    }
  }
  back_.Free();
  for (int i = expiryLevel_ + 1; i <= last; ++i) maturityCount_[static_cast<std::size_t>(i)] = 0;
  return true;
}

bool HullWhiteTree::HasNodeYields(int i) const {
  return status_ == 0 && levelCount_ > 0 && i >= firstYieldLevel_ && i <= expiryLevel_;
}

const double* HullWhiteTree::NodeYields(int i, int j) const {
  if (!HasNodeYields(i)) return nullptr;
  return yields_.data() + yieldBegin_[Lv(i)] +
         static_cast<std::size_t>(j) * static_cast<std::size_t>(maturityCount_[Lv(i)]);
}

double HullWhiteTree::ExpectedSuccessorValue(int i, int j, int s) const {
  const NodeBlock& b = Block(i);
  const std::size_t n = Node(i, j);
  const int succ = b.successor[n];
  const double pu = b.pUp[n];
  const double pd = b.pDown[n];
  return (1.0 - pu - pd) * NodeValue(i + 1, succ, s) +
         (pu * NodeValue(i + 1, succ + 1, s) + pd * NodeValue(i + 1, succ - 1, s));
}

double HullWhiteTree::B(double t1, double t2) const {
  if (std::fabs(a0_) < 1e-10) return t2 - t1;
  return (1.0 - std::exp(-a0_ * (t2 - t1))) / a0_;
}

double HullWhiteTree::LnA(double t1, double t2) const {
  const double t0 = startDate_;
  // Central difference over the two days around t1, or from t0 itself when
  // t1 is less than a day after it (as the closed-form A does).
  const double h = t1 - t0 < 1.0 ? t1 - t0 : 1.0;
  const double slope = (zeroCurve_.Interpolate(t1 + 1.0) - zeroCurve_.Interpolate(t1 - h)) / (h + 1.0);
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
