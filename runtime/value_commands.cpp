#include "runtime/value_commands.h"

#include <windows.h>

#include <cstring>

ByteSetBlock* AllocateByteSet(int32_t length) {
  auto* block = static_cast<ByteSetBlock*>(Allocate(sizeof(ByteSetBlock) + length));
  block->dimensionCount = 1;
  block->length = length;
  return block;
}

ByteSetBlock* ResizeByteSet(ByteSetBlock* block, int32_t length) {
  auto* resized = static_cast<ByteSetBlock*>(Resize(block, sizeof(ByteSetBlock) + length));
  resized->length = length;
  return resized;
}

ByteSet TextToBytes(const char* text) {
  return BytesFromAddress(text, text ? static_cast<int32_t>(strlen(text)) : 0);
}

int32_t BytesLength(const ByteSetBlock* bytes) { return bytes ? bytes->length : 0; }

ByteSet BlankBytes(int32_t count) {
  if (count <= 0) return ByteSet();
  ByteSetBlock* block = AllocateByteSet(count);
  memset(block->bytes(), 0, count);
  return ByteSet(block);
}

ByteSet BytesFromAddress(const void* address, int32_t count) {
  if (count <= 0) return ByteSet();
  ByteSetBlock* block = AllocateByteSet(count);
  memcpy(block->bytes(), address, count);
  return ByteSet(block);
}

Text BlankText(int32_t count) {
  if (count < 1) return Text();
  auto* block = static_cast<char*>(Allocate(count + 1));
  memset(block, ' ', count);
  block[count] = 0;
  return Text(block);
}

Text ReadTextFromBytes(const ByteSetBlock* bytes) {
  if (BytesLength(bytes) == 0) return Text();
  const void* zero = memchr(bytes->bytes(), 0, bytes->length);
  int32_t length = zero ? static_cast<int32_t>(static_cast<const uint8_t*>(zero) - bytes->bytes())
                        : bytes->length;
  return TextFromBytes(reinterpret_cast<const char*>(bytes->bytes()), length);
}

Text TextFromBytes(const char* source, int32_t length) {
  if (length <= 0) return Text();
  auto* block = static_cast<char*>(Allocate(length + 1));
  memcpy(block, source, length);
  block[length] = 0;
  return Text(block);
}

Text IntegerToText(int32_t value) {
  char digits[16];
  int length = wsprintfA(digits, "%d", value);
  return TextFromBytes(digits, length);
}

Text RightmostCharacters(const char* text, int32_t count) {
  int32_t length = text ? static_cast<int32_t>(strlen(text)) : 0;
  int32_t kept = count < length ? count : length;
  return kept > 0 ? TextFromBytes(text + length - kept, kept) : Text();
}
