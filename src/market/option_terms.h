// The terms every pricer inside the library speaks in. The exports take
// spreadsheet integer flags ("compared with 1") and map them here once;
// below the exports only these names travel.
#pragma once

#include "lorvex/terms.hpp"

namespace lorvex {

// The spreadsheet convention at the exports: 1 selects the first case,
// any other value the second.
inline OptionType OptionTypeFromFlag(int callFlag) {
  return callFlag == 1 ? OptionType::Call : OptionType::Put;
}
inline Exercise ExerciseFromFlag(int americanFlag) {
  return americanFlag == 1 ? Exercise::American : Exercise::European;
}
inline StrikeQuote StrikeQuoteFromFlag(int cleanFlag) {
  return cleanFlag == 1 ? StrikeQuote::Clean : StrikeQuote::Dirty;
}

}  // namespace lorvex
