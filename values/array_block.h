#pragma once
// Array blocks: int32 dimension count d, d int32 sizes, then the elements.
#include <cstdint>

struct ArrayElements {
  int32_t count;
  // The first element, right behind the dimension sizes; null for a null block.
  void* first;
};

// The element count (product of the sizes, 0 for no dimensions or a null block) and where the
// elements start. The count is of elements, not bytes.
ArrayElements ArrayElementCount(void* arrayBlock);
