// An ordered set of (x, y) points read by linear interpolation.
//
// The zero curve (x = Julian day, y = continuously compounded zero rate),
// the dividend list of the equity tree (x = years, y = cash amount) and the
// sorted date lists of the Hull-White tree are all ZeroCurves. Rates, not
// discount factors, are interpolated; the curve is flat beyond its ends and
// reads 0 everywhere when empty.
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

namespace lorvex {

struct CurvePoint {
  double x;
  double y;
};

// y at x on the segment from p0 to p1 (p0.x <= x < p1.x): the one formula
// of ZeroCurve::Interpolate and CurveCursor::At.
inline double InterpolateBetween(const CurvePoint& p0, const CurvePoint& p1, double x) {
  return p0.y + (p1.y - p0.y) * (x - p0.x) / (p1.x - p0.x);
}

class ZeroCurve {
 public:
  ZeroCurve() = default;
  // Inserts (xs[i], ys[i]) for i = 0 .. n-1 in that order, so for a repeated
  // x the first value given wins. n <= 0 gives an empty curve. Sorting once
  // costs O(n log n) however the points arrive.
  ZeroCurve(int n, const double* xs, const double* ys);

  // Adds (x, y) in order of x. An x already present keeps its first y and
  // the call still succeeds. A NaN x has no place on the axis and is
  // ignored. Returns 0, or -1 when memory runs out (status becomes -1).
  int Insert(double x, double y);

  // y at x: linear between neighbours, flat at the ends, 0 when empty.
  double Interpolate(double x) const;

  // The point whose x equals x exactly, or nullptr.
  const CurvePoint* Find(double x) const;

  int Count() const { return static_cast<int>(points_.size()); }
  bool Empty() const { return points_.empty(); }
  // n-th point counted from 1; n <= 1 gives the first. n must not exceed the
  // count and the curve must not be empty.
  double XAt(int n) const { return points_[Index(n)].x; }
  double YAt(int n) const { return points_[Index(n)].y; }

  void Clear();
  int status() const { return status_; }

  // Walk the points in ascending x.
  const CurvePoint* begin() const { return points_.data(); }
  const CurvePoint* end() const { return points_.data() + points_.size(); }
  const CurvePoint& operator[](std::size_t i) const { return points_[i]; }
  void Reserve(std::size_t n);

 private:
  static std::size_t Index(int n) { return n <= 1 ? 0 : static_cast<std::size_t>(n - 1); }

  std::vector<CurvePoint> points_;
  int status_ = 0;
};

// ZeroCurve::Interpolate, to the last bit, for lookups at rising x (the
// payment dates of a schedule): each lookup walks on from the segment of
// the one before instead of searching the whole curve. A lookup below the
// previous one is still right, it searches from the start again. The curve
// must outlive the cursor and stay unchanged.
class CurveCursor {
 public:
  explicit CurveCursor(const ZeroCurve& curve)
      : first_(curve.begin()), end_(curve.end()), above_(first_ + (curve.Count() > 1 ? 1 : 0)) {}

  double At(double x) {
    if (first_ == end_) return 0.0;
    const CurvePoint* last = end_ - 1;
    if (x < first_->x) return first_->y;
    if (!(x < last->x)) return last->y;  // also a NaN x
    // first.x <= x < last.x: above_ becomes the first point above x, as
    // the upper bound that Interpolate searches for.
    if (x < above_[-1].x) above_ = first_ + 1;
    for (int walked = 0; !(x < above_->x); ++walked) {
      if (walked == 4) {
        above_ = std::upper_bound(above_, last, x, [](double key, const CurvePoint& p) { return key < p.x; });
        break;
      }
      ++above_;
    }
    return InterpolateBetween(above_[-1], *above_, x);
  }

 private:
  const CurvePoint* first_;
  const CurvePoint* end_;
  const CurvePoint* above_;  // first point above the last x looked up
};

}  // namespace lorvex
