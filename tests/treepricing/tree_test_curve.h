// Curve arrays for the tree pricing tests: rows of (serial date, zero rate)
// as a spreadsheet passes them, and the same rows as a curve of Julian days.
#pragma once

#include <cmath>
#include <utility>
#include <vector>

#include "lorvex/lorvex.h"
#include "market/zero_curve.h"

namespace tree_test {

using Rows = std::vector<std::pair<double, double>>;

class Curve {
 public:
  explicit Curve(const Rows& rows) {
    SAFEARRAYBOUND b[2] = {{static_cast<ULONG>(rows.size()), 0}, {2, 0}};
    psa_ = SafeArrayCreate(VT_R8, 2, b);
    for (std::size_t i = 0; i < rows.size(); ++i) {
      LONG idx[2] = {static_cast<LONG>(i), 0};
      double x = rows[i].first, y = rows[i].second;
      SafeArrayPutElement(psa_, idx, &x);
      idx[1] = 1;
      SafeArrayPutElement(psa_, idx, &y);
    }
  }
  ~Curve() { SafeArrayDestroy(psa_); }
  Curve(const Curve&) = delete;
  Curve& operator=(const Curve&) = delete;
  SAFEARRAY** get() { return &psa_; }

 private:
  SAFEARRAY* psa_;
};

// Upward sloping, 3 % today to 5 % in ten years.
inline Rows SlopedRows(int serial) {
  return {{serial, 0.03}, {serial + 365, 0.035}, {serial + 730, 0.04}, {serial + 1825, 0.045},
          {serial + 3650, 0.05}};
}

inline lorvex::ZeroCurve ToJdn(const Rows& rows) {
  lorvex::ZeroCurve c;
  for (const auto& r : rows) c.Insert(r.first + 2415019, r.second);
  return c;
}

// Whole days in a time of years, halves up.
inline int Days(double years) { return static_cast<int>(std::floor(365 * years + 0.5)); }

}  // namespace tree_test
