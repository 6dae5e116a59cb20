// What the tests share to feed the library: arrays built through the public
// SAFEARRAY functions exactly as a spreadsheet macro builds them, curve
// arrays of serial dates with the same curve on Julian days, and an
// independent discount factor.
#pragma once

#include <cmath>
#include <cstddef>
#include <utility>
#include <vector>

#include "lorvex/lorvex.h"
#include "market/zero_curve.h"

namespace lorvex_test {

// 1 January 2000 as a Julian Day Number (serial 36526).
inline constexpr int kJdn2000 = 2451545;

// A spreadsheet serial date plus this is its Julian Day Number.
inline constexpr int kSerialToJdn = 2415019;

// Rows of (x, y): (serial date, zero rate) for a curve, (years, cash) for
// dividends.
using Rows = std::vector<std::pair<double, double>>;

// An owned array of any shape and element type.
class Array {
 public:
  // Dimensions as (elements, lower bound), dimension 1 first; doubles are
  // all set to `fill`.
  explicit Array(std::vector<std::pair<ULONG, LONG>> dims, double fill = 0.0, VARTYPE vt = VT_R8) {
    std::vector<SAFEARRAYBOUND> b;
    for (auto [n, lower] : dims) b.push_back({n, lower});
    psa_ = SafeArrayCreate(vt, static_cast<UINT>(b.size()), b.data());
    if (vt == VT_R8 && psa_ != nullptr) {
      auto* data = static_cast<double*>(psa_->pvData);
      std::size_t cells = 1;
      for (auto [n, lower] : dims) cells *= n;
      for (std::size_t i = 0; i < cells; ++i) data[i] = fill;
    }
  }
  // Two columns, one row per pair, rows from 0: a curve or dividend array.
  static Array Of(const Rows& rows) {
    Array a({{static_cast<ULONG>(rows.size()), 0}, {2, 0}});
    for (std::size_t i = 0; i < rows.size(); ++i) {
      a.Set(static_cast<LONG>(i), 0, rows[i].first);
      a.Set(static_cast<LONG>(i), 1, rows[i].second);
    }
    return a;
  }
  Array(Array&& o) noexcept : psa_(o.psa_) { o.psa_ = nullptr; }
  Array& operator=(Array&& o) noexcept {
    std::swap(psa_, o.psa_);
    return *this;
  }
  Array(const Array&) = delete;
  Array& operator=(const Array&) = delete;
  ~Array() {
    if (psa_ != nullptr) SafeArrayDestroy(psa_);
  }

  SAFEARRAY** get() { return &psa_; }
  void Set(LONG row, LONG col, double v) {
    LONG i[2] = {row, col};
    SafeArrayPutElement(psa_, i, &v);
  }
  // NaN when the element cannot be read.
  double At(LONG row, LONG col = 0) const {
    LONG i[3] = {row, col, 0};
    double v = std::nan("");
    SafeArrayGetElement(psa_, i, &v);
    return v;
  }

 private:
  SAFEARRAY* psa_ = nullptr;
};

// A curve array as an export reads it: (serial date, zero rate) rows from 0.
class CurveArray : public Array {
 public:
  explicit CurveArray(const Rows& rows) : Array(Of(rows)) {}
};

// The rows of a curve array as the curve of Julian days the export reads.
inline lorvex::ZeroCurve ToJdn(const Rows& rows) {
  lorvex::ZeroCurve c;
  for (const auto& r : rows) c.Insert(r.first + kSerialToJdn, r.second);
  return c;
}

// Upward sloping, 3 % on `serial` to 5 % ten years on.
inline Rows SlopedRows(int serial) {
  return {{serial, 0.03}, {serial + 365, 0.035}, {serial + 730, 0.04}, {serial + 1825, 0.045},
          {serial + 3650, 0.05}};
}

// Whole days in a time of years, halves up, as the exports count them.
inline int Days(double years) { return static_cast<int>(std::floor(365 * years + 0.5)); }

// A curve through the points given.
inline lorvex::ZeroCurve Curve(std::vector<double> xs, std::vector<double> ys) {
  return lorvex::ZeroCurve(static_cast<int>(xs.size()), xs.data(), ys.data());
}

// One rate everywhere.
inline lorvex::ZeroCurve Flat(double rate) { return Curve({kJdn2000}, {rate}); }

// Zero rates linear in time from r0 at t0 to r10 ten years later, flat beyond.
inline lorvex::ZeroCurve Line(double r0, double r10, double t0 = kJdn2000) {
  return Curve({t0, t0 + 3650}, {r0, r10});
}

// Discount factor to `to` seen from `from`, written out here rather than
// taken from the library so that the tests check its pricers against it.
inline double Df(const lorvex::ZeroCurve& curve, double from, double to) {
  return std::exp(-curve.Interpolate(to) * (to - from) / 365.0);
}

}  // namespace lorvex_test
