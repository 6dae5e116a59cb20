#include "acceptance.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace acceptance {

Array::Array(const std::vector<std::vector<double>>& rows, long rowLower, long colLower) {
  SAFEARRAYBOUND bounds[2];
  bounds[0].cElements = static_cast<ULONG>(rows.size());
  bounds[0].lLbound = static_cast<LONG>(rowLower);
  bounds[1].cElements = rows.empty() ? 2 : static_cast<ULONG>(rows[0].size());
  bounds[1].lLbound = static_cast<LONG>(colLower);
  array_ = SafeArrayCreate(VT_R8, 2, bounds);
  for (std::size_t i = 0; i < rows.size(); ++i) {
    for (std::size_t j = 0; j < rows[i].size(); ++j) {
      LONG index[2] = {static_cast<LONG>(rowLower + static_cast<long>(i)),
                       static_cast<LONG>(colLower + static_cast<long>(j))};
      double v = rows[i][j];
      SafeArrayPutElement(array_, index, &v);
    }
  }
}

Array::Array(unsigned short vt, std::vector<std::pair<unsigned long, long>> bounds) {
  std::vector<SAFEARRAYBOUND> b(bounds.size());
  for (std::size_t i = 0; i < bounds.size(); ++i) {
    b[i].cElements = static_cast<ULONG>(bounds[i].first);
    b[i].lLbound = static_cast<LONG>(bounds[i].second);
  }
  array_ = SafeArrayCreate(vt, static_cast<UINT>(b.size()), b.data());
}

Array::~Array() {
  if (array_ != nullptr) SafeArrayDestroy(array_);
}

double Array::At(long row, long column) const {
  LONG index[2] = {static_cast<LONG>(row), static_cast<LONG>(column)};
  double v = std::nan("");
  SafeArrayGetElement(array_, index, &v);
  return v;
}

std::vector<std::vector<double>> FlatCurve(double serial, double rate) { return {{serial, rate}}; }

Case OnCurve(std::string name, CurveCall call, std::int32_t status, std::vector<double> expected,
             double tolerance, std::vector<std::vector<double>> rows) {
  return {std::move(name),
          [call, rows](const Api& api, std::vector<double>& values) {
            Array curve(rows);
            double v = -1.0;
            const std::int32_t s = call(api, curve.get(), &v);
            values.push_back(v);
            return s;
          },
          status, std::move(expected), tolerance};
}

Case Compared(std::string name, CurveCall first, CurveCall second, std::vector<double> expected,
              double tolerance, std::vector<std::vector<double>> rows, double (*combine)(double, double)) {
  return {std::move(name),
          [first, second, rows, combine](const Api& api, std::vector<double>& values) {
            Array curve(rows);
            double a = 0.0, b = 0.0;
            const std::int32_t s1 = first(api, curve.get(), &a);
            const std::int32_t s2 = second(api, curve.get(), &b);
            values.push_back(combine(a, b));
            return s1 != 0 ? s1 : s2;
          },
          0, std::move(expected), tolerance};
}

namespace {
std::vector<void (*)(std::vector<Case>&)>& Registry() {
  static std::vector<void (*)(std::vector<Case>&)> registry;
  return registry;
}
}  // namespace

bool RegisterCases(void (*add)(std::vector<Case>& cases)) {
  Registry().push_back(add);
  return true;
}

std::vector<Case> AllCases() {
  std::vector<Case> cases;
  for (auto add : Registry()) add(cases);
  std::stable_sort(cases.begin(), cases.end(),
                   [](const Case& a, const Case& b) { return a.name < b.name; });
  return cases;
}

Outcome Run(const Api& api, const Case& c) {
  Outcome o{c.name, true, "", {}};
  const std::int32_t status = c.run(api, o.values);
  char buffer[256];
  if (status != c.expectedStatus) {
    o.passed = false;
    std::snprintf(buffer, sizeof buffer, "status %d, expected %d", static_cast<int>(status),
                  static_cast<int>(c.expectedStatus));
    o.detail = buffer;
  } else if (!c.expected.empty()) {
    if (o.values.size() != c.expected.size()) {
      o.passed = false;
      o.detail = "wrong number of values";
    }
    for (std::size_t i = 0; o.passed && i < c.expected.size(); ++i) {
      const double got = o.values[i];
      const double want = c.expected[i];
      const bool same = (std::isnan(want) && std::isnan(got)) || std::fabs(got - want) <= c.tolerance;
      if (!same) {
        o.passed = false;
        std::snprintf(buffer, sizeof buffer, "value %zu: got %.12g, expected %.12g (tolerance %g)", i, got,
                      want, c.tolerance);
        o.detail = buffer;
      }
    }
  }
  return o;
}

std::vector<Outcome> RunAll(const Api& api) {
  std::vector<Outcome> outcomes;
  for (const Case& c : AllCases()) outcomes.push_back(Run(api, c));
  return outcomes;
}

}  // namespace acceptance
