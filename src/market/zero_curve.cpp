#include "market/zero_curve.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace lorvex {

ZeroCurve::ZeroCurve(int n, const double* xs, const double* ys) {
  if (n <= 0) return;
  try {
    points_.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
      if (!std::isnan(xs[i])) points_.push_back({xs[i], ys[i]});
    }
  } catch (const std::bad_alloc&) {
    points_.clear();
    status_ = -1;
    return;
  }
  // A stable sort keeps repeated x in the order given, so keeping the first
  // of each run is "the first value given wins".
  std::stable_sort(points_.begin(), points_.end(),
                   [](const CurvePoint& a, const CurvePoint& b) { return a.x < b.x; });
  auto last = std::unique(points_.begin(), points_.end(),
                          [](const CurvePoint& a, const CurvePoint& b) { return a.x == b.x; });
  points_.erase(last, points_.end());
}

int ZeroCurve::Insert(double x, double y) {
  if (std::isnan(x)) return 0;
  auto it = std::lower_bound(points_.begin(), points_.end(), x,
                             [](const CurvePoint& p, double key) { return p.x < key; });
  if (it != points_.end() && it->x == x) return 0;
  try {
    points_.insert(it, CurvePoint{x, y});
  } catch (const std::bad_alloc&) {
    status_ = -1;
    return -1;
  }
  return 0;
}

double ZeroCurve::Interpolate(double x) const {
  if (points_.empty()) return 0.0;
  if (x < points_.front().x) return points_.front().y;
  // At or beyond the last x (and for a NaN x) the curve is flat at its end.
  if (!(x < points_.back().x)) return points_.back().y;
  // First point strictly above x; its predecessor is at or below x.
  auto hi = std::upper_bound(points_.begin(), points_.end(), x,
                             [](double key, const CurvePoint& p) { return key < p.x; });
  return InterpolateBetween(*(hi - 1), *hi, x);
}

const CurvePoint* ZeroCurve::Find(double x) const {
  auto it = std::lower_bound(points_.begin(), points_.end(), x,
                             [](const CurvePoint& p, double key) { return p.x < key; });
  if (it != points_.end() && it->x == x) return &*it;
  return nullptr;
}

void ZeroCurve::Clear() {
  points_.clear();
  status_ = 0;
}

void ZeroCurve::Reserve(std::size_t n) {
  try {
    points_.reserve(n);
  } catch (const std::bad_alloc&) {
    status_ = -1;
  }
}

}  // namespace lorvex
