#include "values/text_array.h"

#include <cstring>

#include "runtime/heap.h"
#include "values/array_block.h"
#include "values/joins.h"

namespace {
char* CopyOfText(const char* text) {
  int32_t length = TextLength(text);
  if (length == 0) return nullptr;
  auto* copy = static_cast<char*>(Allocate(length + 1));
  memcpy(copy, text, length + 1);
  return copy;
}
}  // namespace

void AppendToTextArray(void*& array, const char* text) {
  ArrayElements elements = ArrayElementCount(array);
  if (IsInConstantPool(array)) {
    auto* start = static_cast<char*>(array);
    size_t size = static_cast<char*>(elements.first) - start + elements.count * sizeof(char*);
    void* copy = Allocate(size);
    memcpy(copy, array, size);
    array = copy;
    elements = ArrayElementCount(array);
  }
  int32_t n = elements.count;
  auto* words = static_cast<int32_t*>(array);
  // The elements move to follow a one-dimension header before the block is sized for it.
  memmove(words + 2, elements.first, n * sizeof(char*));
  words = static_cast<int32_t*>(Resize(array, 2 * sizeof(int32_t) + (n + 1) * sizeof(char*)));
  array = words;
  words[0] = 1;
  words[1] = n + 1;
  reinterpret_cast<char**>(words + 2)[n] = CopyOfText(text);
}

void ReleaseTextArray(void* array) {
  if (!array || IsInConstantPool(array)) return;
  ArrayElements elements = ArrayElementCount(array);
  auto** texts = static_cast<char**>(elements.first);
  for (int32_t i = 0; i < elements.count; ++i) Release(texts[i]);
  Release(array);
}
