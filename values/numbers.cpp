#include "values/numbers.h"

#include <limits>

int64_t TruncateToInt64(double value) {
  // 2^63 is exact as a double; every double below it and at or above -2^63 truncates in range.
  constexpr double kLimit = 9223372036854775808.0;
  if (!(value >= -kLimit && value < kLimit)) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(value);
}
