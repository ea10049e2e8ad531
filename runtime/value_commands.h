#pragma once
// The run time's commands on texts and byte sets. Empty results are null and allocate nothing.
#include <cstdint>

#include "runtime/byte_set.h"
#include "runtime/text.h"

// The text's bytes without the terminator; null for an empty text.
ByteSet TextToBytes(const char* text);
// 0 for null or an empty block.
int32_t BytesLength(const ByteSetBlock* bytes);
// n zero bytes; null when n <= 0.
ByteSet BlankBytes(int32_t count);
// A copy of the n bytes at the address; null when n is 0.
ByteSet BytesFromAddress(const void* address, int32_t count);
// n spaces and the terminator; null when n < 1.
Text BlankText(int32_t count);
// The bytes up to the first zero byte, or all of them; null for an empty byte set.
Text ReadTextFromBytes(const ByteSetBlock* bytes);
// A fresh copy of the first `length` bytes at `source`, terminated; null when length is 0.
Text TextFromBytes(const char* source, int32_t length);
// The decimal form that the format "%d" gives; never null.
Text IntegerToText(int32_t value);
// A fresh text of the last `count` bytes, or of the whole text when it is shorter; null when that
// leaves nothing.
Text RightmostCharacters(const char* text, int32_t count);
