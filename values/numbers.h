#pragma once
#include <cstdint>

// Truncates toward zero; NaN and values outside the int64 range give the most negative int64.
int64_t TruncateToInt64(double value);
