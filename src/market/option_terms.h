// The terms every pricer inside the library speaks in. The exports take
// spreadsheet integer flags ("compared with 1") and map them here once;
// below the exports only these names travel.
#pragma once

namespace lorvex {

// A call pays on a rise of its underlying, a put on a fall. Rate options
// name the underlying they are written on: a cap is a call on the rate, a
// floor a put on it; a payer swaption is a call on the swap rate, a
// receiver a put on it (and a call on the fixed leg taken as a bond).
enum class OptionType { kCall, kPut };

// European: exercise on the expiry date only; American: on any date up to it.
enum class Exercise { kEuropean, kAmerican };

// How a bond option's strike is quoted: as a dirty price, or as a clean one
// to which the interest accrued at exercise is added.
enum class StrikeQuote { kDirty, kClean };

// The spreadsheet convention at the exports: 1 selects the first case,
// any other value the second.
inline OptionType OptionTypeFromFlag(int callFlag) {
  return callFlag == 1 ? OptionType::kCall : OptionType::kPut;
}
inline Exercise ExerciseFromFlag(int americanFlag) {
  return americanFlag == 1 ? Exercise::kAmerican : Exercise::kEuropean;
}
inline StrikeQuote StrikeQuoteFromFlag(int cleanFlag) {
  return cleanFlag == 1 ? StrikeQuote::kClean : StrikeQuote::kDirty;
}

}  // namespace lorvex
