#include "boundary/dates.h"

#include <cmath>


namespace lorvex {

bool AllFinite(std::initializer_list<double> values) {
  for (double v : values) {
    if (!std::isfinite(v)) return false;
  }
  return true;
}

}  // namespace lorvex
