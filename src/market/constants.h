// Constants shared by every subsystem.
#pragma once

namespace lorvex {

// Every year fraction is a day count over 365; leap days are not special.
inline constexpr double kDaysPerYear = 365.0;

// 1/365 as a multiplier, for rates per year turned into rates per day
// (x * kYearsPerDay is not always x / kDaysPerYear to the last bit, so each
// formula keeps the form it was written in).
inline constexpr double kYearsPerDay = 1.0 / kDaysPerYear;

// A spreadsheet serial day number plus this is a Julian Day Number
// (serial 36526, 1 January 2000, is JDN 2451545).
inline constexpr int kSerialToJdn = 2415019;

}  // namespace lorvex
