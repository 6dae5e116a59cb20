#include "hwtree/rate_transform.h"

#include <cmath>
#include <cstddef>
#include <new>

namespace lorvex {

namespace {

bool ValidShape(const std::vector<ShapePoint>& pairs) {
  if (pairs.empty()) return false;
  if (!(pairs[0].rate > 0.0) || !(pairs[0].shape >= 0.0)) return false;
  for (std::size_t k = 1; k < pairs.size(); ++k) {
    if (!(pairs[k].rate > pairs[k - 1].rate) || !(pairs[k].shape >= 0.0)) return false;
  }
  return true;
}

}  // namespace

RateTransform::RateTransform(int kind, const std::vector<ShapePoint>& pairs) : kind_(kind) {
  if (kind != kShape) {
    if (kind != kLognormal) kind_ = kNormal;
    return;
  }
  if (!ValidShape(pairs)) {
    kind_ = kNormal;
    return;
  }
  const std::size_t n = pairs.size();
  try {
    intercept_.assign(n, 0.0);
    slope_.assign(n, 0.0);
    offset_.assign(n, 0.0);
    rateKnots_.assign(n, 0.0);
    stateKnots_.assign(n, 0.0);
  } catch (const std::bad_alloc&) {
    intercept_.clear();
    slope_.clear();
    offset_.clear();
    rateKnots_.clear();
    stateKnots_.clear();
    status_ = -1;
    return;
  }
  std::vector<double>& a = intercept_;
  std::vector<double>& b = slope_;
  std::vector<double>& d = offset_;
  std::vector<double>& p = rateKnots_;
  a[0] = 0.0;
  b[0] = pairs[0].shape / pairs[0].rate;
  p[0] = pairs[0].rate;
  for (std::size_t k = 1; k < n; ++k) {
    p[k] = pairs[k].rate;
    b[k] = (pairs[k].shape - pairs[k - 1].shape) / (pairs[k].rate - pairs[k - 1].rate);
    a[k] = (b[k - 1] - b[k]) * p[k - 1] + a[k - 1];
  }
  // D makes x continuous at each knot: the state reached from the left
  // segment equals the one the right segment starts from.
  d[0] = 0.0;
  for (std::size_t k = 1; k < n; ++k) {
    const double left = b[k - 1] != 0.0
                            ? d[k - 1] + std::log(b[k - 1] * p[k - 1] + a[k - 1]) / b[k - 1]
                            : d[k - 1] + p[k - 1] / a[k - 1];
    const double right = b[k] != 0.0 ? std::log(b[k] * p[k - 1] + a[k]) / b[k] : p[k - 1] / a[k];
    d[k] = left - right;
  }
  for (std::size_t k = 0; k < n; ++k) stateKnots_[k] = StateFromRate(p[k]);
}

int RateTransform::SegmentByRate(double r) const {
  const int last = count() - 1;
  int i = 0;
  while (i < last && r >= rateKnots_[static_cast<std::size_t>(i)]) ++i;
  return i;
}

int RateTransform::SegmentByState(double x) const {
  const int last = count() - 1;
  int i = 0;
  while (i < last && x >= stateKnots_[static_cast<std::size_t>(i)]) ++i;
  return i;
}

double RateTransform::StateFromRate(double r) const {
  switch (kind_) {
    case kLognormal:
      return r > 0.0 ? std::log(r) : 0.0;
    case kShape: {
      if (r < 0.0) r = 0.0;
      const auto i = static_cast<std::size_t>(SegmentByRate(r));
      if (slope_[i] != 0.0) return std::log(r * slope_[i] + intercept_[i]) / slope_[i] + offset_[i];
      return offset_[i] + r / intercept_[i];
    }
    default:
      return r;
  }
}

double RateTransform::RateFromState(double x) const {
  switch (kind_) {
    case kLognormal:
      return std::exp(x);
    case kShape: {
      const auto i = static_cast<std::size_t>(SegmentByState(x));
      if (slope_[i] == 0.0) return (x - offset_[i]) * intercept_[i];
      return (std::exp((x - offset_[i]) * slope_[i]) - intercept_[i]) / slope_[i];
    }
    default:
      return x;
  }
}

double RateTransform::RateSlope(double x) const {
  if (kind_ != kLognormal && kind_ != kShape) return 1.0;
  // exp(x) itself for the lognormal form; g(r) = A + B r on the shape's
  // segment of x.
  const double r = RateFromState(x);
  if (kind_ == kLognormal) return r;
  const auto i = static_cast<std::size_t>(SegmentByState(x));
  return r * slope_[i] + intercept_[i];
}

bool RateTransform::ExponentialRates() const {
  return kind_ == kLognormal || (kind_ == kShape && count() == 1 && intercept_[0] == 0.0 && slope_[0] == 1.0 &&
                                 offset_[0] == 0.0);
}

double RateTransform::StateSlope(double r) const {
  switch (kind_) {
    case kLognormal:
      return r > 0.0 ? 1.0 / r : 0.0;
    case kShape:
      return 1.0 / RateSlope(StateFromRate(r));
    default:
      return 1.0;
  }
}

}  // namespace lorvex
