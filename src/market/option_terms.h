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
inline SwaptionType SwaptionTypeFromFlag(int receiverFlag) {
  return receiverFlag == 1 ? SwaptionType::Receiver : SwaptionType::Payer;
}
inline CapType CapTypeFromFlag(int capFlag) { return capFlag == 1 ? CapType::Cap : CapType::Floor; }

// The option a rate instrument is on its rate: a cap and a payer swaption
// are calls on the rate, a floor and a receiver swaption puts.
inline OptionType OptionOnRate(CapType type) { return type == CapType::Cap ? OptionType::Call : OptionType::Put; }
inline OptionType OptionOnRate(SwaptionType type) {
  return type == SwaptionType::Payer ? OptionType::Call : OptionType::Put;
}

}  // namespace lorvex
