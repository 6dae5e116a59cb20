// Acceptance cases shared by every platform: the same calls and expected
// values run against liblorvex.so on Linux and against both Windows DLLs
// under real OLE Automation. Cases use only the public API: exports through
// function pointers and arrays through the SAFEARRAY functions.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "boundary/export_list.h"
#include "lorvex/lorvex.h"

namespace acceptance {

// The exports as function pointers, resolved by the platform's runner.
struct Api {
#define LORVEX_API_MEMBER(name, ordinal, bytes) decltype(&::name) name = nullptr;
  LORVEX_EXPORT_LIST(LORVEX_API_MEMBER)
#undef LORVEX_API_MEMBER
};

// An owned two-dimensional array with chosen bounds, made with the platform's
// SafeArrayCreate.
class Array {
 public:
  // rows x columns doubles; dimension 1 from rowLower, dimension 2 from colLower.
  Array(const std::vector<std::vector<double>>& rows, long rowLower = 0, long colLower = 0);
  // Any shape and element type, filled with zeros.
  Array(unsigned short vt, std::vector<std::pair<unsigned long, long>> bounds);
  ~Array();
  Array(const Array&) = delete;
  Array& operator=(const Array&) = delete;
  SAFEARRAY** get() { return &array_; }
  double At(long row, long column) const;

 private:
  SAFEARRAY* array_ = nullptr;
};

// A curve of (serial date, zero rate) rows.
std::vector<std::vector<double>> FlatCurve(double serial, double rate);

struct Case {
  std::string name;
  // Runs the call, appends the values it produced, returns the status.
  std::function<std::int32_t(const Api&, std::vector<double>& values)> run;
  std::int32_t expectedStatus;
  std::vector<double> expected;  // empty: only the status is checked
  double tolerance;              // absolute, against expected
};

// One export called on a curve array: writes *value, returns the status.
using CurveCall = std::function<std::int32_t(const Api&, SAFEARRAY** curve, double* value)>;

// A case calling one export on the curve of `rows`, by default the flat 5 %
// curve from 1 January 2000.
Case OnCurve(std::string name, CurveCall call, std::int32_t status, std::vector<double> expected,
             double tolerance, std::vector<std::vector<double>> rows = FlatCurve(36526, 0.05));

// A case calling two exports on one curve array: its value is
// combine(first, second) (by default first - second), its status the first
// call's failure, else the second's.
Case Compared(std::string name, CurveCall first, CurveCall second, std::vector<double> expected,
              double tolerance, std::vector<std::vector<double>> rows = FlatCurve(36526, 0.05),
              double (*combine)(double, double) = [](double a, double b) { return a - b; });

// A case running one export with `terms` on a curve array of `rows`:
// Price(api, terms, curve, values), found by overload on the terms' type,
// appends the values and returns the status.
template <class Terms>
Case PricedCase(std::string name, Terms terms, std::int32_t status, std::vector<double> expected,
                double tolerance, std::vector<std::vector<double>> rows) {
  return {std::move(name),
          [terms, rows](const Api& api, std::vector<double>& values) {
            Array curve(rows);
            return Price(api, terms, curve.get(), values);
          },
          status, std::move(expected), tolerance};
}

// Every registered case, sorted by name so that every platform runs them in
// the same order.
std::vector<Case> AllCases();

// Each family of exports registers a function adding its cases, from its own
// file: static const bool registered = RegisterCases(AddBondCases);
bool RegisterCases(void (*add)(std::vector<Case>& cases));

// The outcome of a case: whether it passed, what failed, and the values it
// computed (for comparing platforms).
struct Outcome {
  std::string name;
  bool passed;
  std::string detail;
  std::vector<double> values;
};
Outcome Run(const Api& api, const Case& c);

// Every case, in case order.
std::vector<Outcome> RunAll(const Api& api);

}  // namespace acceptance
