// The map between the tree's state variable x and the short rate r.
//
// The lattice is laid out in x, whose volatility is the plain sigma of the
// volatility schedule; the transform decides the volatility form of the
// rate: normal (r = x, Hull-White), lognormal (r = exp x, Black-Karasinski
// style) or a piecewise-linear shape g(r) with local rate volatility
// sigma * g(r) and x = F(r) = integral of dr / g(r).
//
// The shape runs through (0, 0), (p0, q0), (p1, q1), ... and continues with
// the last slope; on segment i, g(r) = A[i] + B[i] r and
// x = ln(B[i] r + A[i]) / B[i] + D[i] (or D[i] + r / A[i] where B[i] = 0),
// D chosen so that F is continuous at every knot.
#pragma once

#include <vector>

namespace lorvex {

struct ShapePoint {
  double rate;   // p, the rate level
  double shape;  // q, g(p)
};

class RateTransform {
 public:
  enum Kind { kNormal = 0, kLognormal = 1, kShape = 2 };

  RateTransform() = default;
  // kind 1: lognormal; kind 2: the shape through the pairs, which must have
  // p0 > 0, q >= 0 and strictly rising p (otherwise the transform quietly
  // becomes normal); any other kind: normal.
  RateTransform(int kind, const std::vector<ShapePoint>& pairs);

  double StateFromRate(double r) const;
  double RateFromState(double x) const;
  double RateSlope(double x) const;   // dr/dx
  double StateSlope(double r) const;  // dx/dr

  int kind() const { return kind_; }
  // Whether RateFromState(x) is exp(x) to the last bit: the lognormal form,
  // and the shape of one pair (p, p), g(r) = r (A = 0, B = 1, D = 0).
  bool ExponentialRates() const;
  int status() const { return status_; }
  int count() const { return static_cast<int>(rateKnots_.size()); }

 private:
  int SegmentByRate(double r) const;
  int SegmentByState(double x) const;

  int kind_ = kNormal;
  std::vector<double> intercept_;   // A
  std::vector<double> slope_;       // B
  std::vector<double> offset_;      // D
  std::vector<double> rateKnots_;   // P
  std::vector<double> stateKnots_;  // X
  int status_ = 0;
};

}  // namespace lorvex
