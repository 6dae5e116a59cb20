// Tables of cases calling an export on a curve array: rows of a call, its
// status and value, and calls handed something other than the flat 5 % curve
// from 1 January 2000 and a place for the result.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "acceptance.h"

namespace acceptance {

// The call on the curve of `curve` rows: its status and value (0 after a
// refusal).
struct CurveRow {
  std::string name;
  CurveCall call;
  std::int32_t status;
  double value;
  double tolerance;
  std::vector<std::vector<double>> curve = FlatCurve(36526, 0.05);
};

void AddRows(std::vector<Case>& cases, const std::vector<CurveRow>& rows);

// What a call is handed instead of the flat curve and a result.
enum class Handed {
  kNoArray,           // a curve reference holding no array: -4
  kOneDimensional,    // 4 doubles: -5
  kThreeDimensional,  // 2 x 2 x 2 doubles: -5
  kColumnsFrom1,      // the curve with its second dimension declared 1 To 2: -2
  kIntegers,          // 3 x 2 four-byte integers: -2
  kEmpty,             // no rows: a curve of 0 everywhere
  kNullResult,        // the flat curve, and no result pointer: -9
};

// `call` handed `h`: its status, and its result unless there is no result
// pointer.
Case HandedCase(std::string name, CurveCall call, Handed h, std::int32_t status, double value = 0.0,
                double tolerance = 0.0);

}  // namespace acceptance
