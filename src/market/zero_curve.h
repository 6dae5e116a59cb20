// An ordered set of (x, y) points read by linear interpolation.
//
// The zero curve (x = Julian day, y = continuously compounded zero rate),
// the dividend list of the equity tree (x = years, y = cash amount) and the
// sorted date lists of the Hull-White tree are all ZeroCurves. Rates, not
// discount factors, are interpolated; the curve is flat beyond its ends and
// reads 0 everywhere when empty.
#pragma once

#include <cstddef>
#include <vector>

namespace lorvex {

struct CurvePoint {
  double x;
  double y;
};

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

}  // namespace lorvex
