// Type codes shared by the closed-form exotic options, and the two input
// mends they apply: a time of zero or less is taken as a tiny positive time,
// and equal rates are pulled apart where a formula divides by their
// difference.
#pragma once

namespace lorvex {

// One numbering across the exotic exports (kept as published, so that
// spreadsheets written for any of them agree).
inline constexpr int kUpAndIn = 5;
inline constexpr int kUpAndOut = 6;
inline constexpr int kDownAndIn = 7;
inline constexpr int kDownAndOut = 8;
inline constexpr int kCashOrNothing = 9;
inline constexpr int kUnderlyingCall = 12;
inline constexpr int kUnderlyingPut = 13;

// The smallest time in years the closed forms work with.
inline constexpr double kMinimumExoticYears = 0.00001;
// The gap put between equal rates (or equal expiries) where a formula
// divides by their difference.
inline constexpr double kExoticSeparation = 0.00001;

// Times of zero or less become kMinimumExoticYears: an option at or past its
// expiry is then valued an instant before it, which keeps sqrt(T) and every
// 1/sqrt(T) finite.
inline double PositiveExoticYears(double years) {
  return years <= 0.0 ? kMinimumExoticYears : years;
}

}  // namespace lorvex
