#include "values/array_block.h"

ArrayElements ArrayElementCount(void* arrayBlock) {
  if (!arrayBlock) return {0, nullptr};
  auto* words = static_cast<int32_t*>(arrayBlock);
  int32_t dimensions = words[0];
  int32_t count = dimensions == 0 ? 0 : 1;
  for (int32_t i = 1; i <= dimensions; ++i) count *= words[i];
  return {count, words + 1 + dimensions};
}
