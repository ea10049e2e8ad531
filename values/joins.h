#pragma once
// Measuring and joining texts and byte sets. Inputs are references and are not released.
#include <cstdint>
#include <initializer_list>

#include "runtime/byte_set.h"
#include "runtime/text.h"

// Bytes before the terminator; 0 for null.
int32_t TextLength(const char* text);
// The `count` texts one after another, measured once each into `lengths`; never null.
Text JoinTextArray(const char* const* texts, int32_t* lengths, int count);

// The inputs one after another; never null (all-empty inputs give a terminator-only block).
template <class... Texts>
Text JoinTexts(const Texts&... texts) {
  static_assert(sizeof...(Texts) >= 1);
  const char* array[] = {texts...};
  int32_t lengths[sizeof...(Texts)];
  return JoinTextArray(array, lengths, sizeof...(Texts));
}
// The inputs' data one after another; null, with nothing allocated, when they hold no byte.
ByteSet JoinByteSets(std::initializer_list<const ByteSetBlock*> byteSets);
// The first data byte (block + 8); null for a null byte set.
const uint8_t* ByteSetData(const ByteSetBlock* byteSet);
uint8_t* ByteSetData(ByteSetBlock* byteSet);
