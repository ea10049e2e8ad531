#include "values/joins.h"

#include <cstring>

int32_t TextLength(const char* text) { return text ? static_cast<int32_t>(strlen(text)) : 0; }

Text JoinTextArray(const char* const* texts, int32_t* lengths, int count) {
  int32_t total = 0;
  for (int i = 0; i < count; ++i) total += lengths[i] = TextLength(texts[i]);

  auto* joined = static_cast<char*>(Allocate(total + 1));
  char* end = joined;
  for (int i = 0; i < count; ++i) {
    memcpy(end, texts[i], lengths[i]);
    end += lengths[i];
  }
  *end = 0;
  return Text(joined);
}

ByteSet JoinByteSets(std::initializer_list<const ByteSetBlock*> byteSets) {
  int32_t total = 0;
  for (const ByteSetBlock* set : byteSets) total += set ? set->length : 0;
  if (total == 0) return ByteSet();

  ByteSetBlock* joined = AllocateByteSet(total);
  uint8_t* end = joined->bytes();
  for (const ByteSetBlock* set : byteSets) {
    if (!set) continue;
    memcpy(end, set->bytes(), set->length);
    end += set->length;
  }
  return ByteSet(joined);
}

const uint8_t* ByteSetData(const ByteSetBlock* byteSet) {
  return byteSet ? byteSet->bytes() : nullptr;
}

uint8_t* ByteSetData(ByteSetBlock* byteSet) { return byteSet ? byteSet->bytes() : nullptr; }
