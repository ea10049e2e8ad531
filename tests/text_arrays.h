#pragma once
// Building and reading arrays of texts in tests.
#include <string>
#include <vector>

#include "runtime/heap.h"
#include "values/array_block.h"
#include "values/joins.h"

// The members of an array of texts, "<null>" for a null member.
inline std::vector<std::string> Members(void* array) {
  ArrayElements elements = ArrayElementCount(array);
  std::vector<std::string> members;
  auto** texts = static_cast<char**>(elements.first);
  for (int32_t i = 0; i < elements.count; ++i) members.push_back(texts[i] ? texts[i] : "<null>");
  return members;
}

// A heap array block with the given dimension sizes whose elements are fresh texts.
inline void* TextArray(std::vector<int32_t> sizes, std::vector<const char*> texts) {
  size_t header = (1 + sizes.size()) * sizeof(int32_t);
  auto* block = static_cast<int32_t*>(Allocate(header + texts.size() * sizeof(char*)));
  block[0] = static_cast<int32_t>(sizes.size());
  for (size_t i = 0; i < sizes.size(); ++i) block[1 + i] = sizes[i];
  auto** elements = reinterpret_cast<char**>(block + 1 + sizes.size());
  for (size_t i = 0; i < texts.size(); ++i) elements[i] = JoinTexts(texts[i]).Detach();
  return block;
}
