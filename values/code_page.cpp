#include "values/code_page.h"

#include <windows.h>

#include <cstring>

#include "runtime/value_commands.h"
#include "values/constants.h"
#include "values/joins.h"

namespace {
// Simplified Chinese (GBK): the code page of the texts this system carries.
constexpr int32_t kChineseCodePage = 936;

ByteSet EmptyByteSetConstant() { return ByteSet(const_cast<ByteSetBlock*>(&EmptyByteSet)); }
}  // namespace

ByteSet TextToUtf16(const char* text, bool stripTerminator) {
  ByteSet result = MultiByteToUtf16(TextToBytes(text).get(), kChineseCodePage);
  if (stripTerminator) result = TrimUtf16AtZero(result.get(), false);
  return result;
}

ByteSet MultiByteToUtf16(const ByteSetBlock* input, int32_t codePage) {
  // The appended zero byte lets Win32 measure the input (length -1) and stop at its first zero.
  ByteSet joined = JoinByteSets({input, ZeroByte});
  auto* multiByte = reinterpret_cast<LPCCH>(ByteSetData(joined.get()));
  if (multiByte[0] == 0) return ByteSet();

  int units = MultiByteToWideChar(codePage, 0, multiByte, -1, nullptr, 0);
  // Null when the size query failed: the conversion below then writes nothing.
  ByteSet wide = BlankBytes(units * 2);
  (void)MultiByteToWideChar(codePage, 0, multiByte, -1,
                            reinterpret_cast<LPWSTR>(ByteSetData(wide.get())), units);
  return wide;
}

ByteSet TrimUtf16AtZero(const ByteSetBlock* input, bool appendTerminator) {
  int32_t length = BytesLength(input);
  if (length < 2) return EmptyByteSetConstant();

  // Whole code units only: a trailing odd byte is dropped.
  const uint8_t* data = ByteSetData(input);
  int32_t end = 0;
  while (end <= length - 2 && (data[end] != 0 || data[end + 1] != 0)) end += 2;
  if (end == 0) return EmptyByteSetConstant();

  ByteSet trimmed = BytesFromAddress(data, end);
  if (!appendTerminator) return trimmed;
  return JoinByteSets({trimmed.get(), ZeroCodeUnit});
}

Text Utf16ToText(const ByteSetBlock* input) {
  return Utf16ToTextInCodePage(input, kChineseCodePage, true);
}

Text Utf16ToTextInCodePage(const ByteSetBlock* input, int32_t codePage, bool useCodePage) {
  if (!useCodePage) codePage = CP_ACP;
  ByteSet multiByte = Utf16ToMultiByte(input, codePage);
  // The run time's commands take EmptyByteSet, never null, for an empty byte set.
  return ReadTextFromBytes(multiByte.get() ? multiByte.get() : &EmptyByteSet);
}

ByteSet Utf16ToMultiByte(const ByteSetBlock* input, int32_t codePage) {
  // The appended zero unit lets Win32 measure the input (length -1) and stop at its first zero.
  ByteSet joined = JoinByteSets({input, ZeroCodeUnit});
  // An odd input leaves its last byte outside every whole code unit, and the zero unit would start
  // on an odd offset. Drop that byte, as TrimUtf16AtZero does: zeroing it in our own copy puts a
  // zero unit right behind the last whole unit.
  if (BytesLength(input) % 2 != 0) ByteSetData(joined.get())[BytesLength(input) - 1] = 0;
  auto* wide = reinterpret_cast<LPCWSTR>(ByteSetData(joined.get()));
  if (lstrlenW(wide) == 0) return ByteSet();

  int size = WideCharToMultiByte(codePage, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return ByteSet();
  ByteSet terminated = BlankBytes(size);
  char* converted = reinterpret_cast<char*>(ByteSetData(terminated.get()));
  (void)WideCharToMultiByte(codePage, 0, wide, -1, converted, size, nullptr, nullptr);

  // The converted text without its terminator.
  return BytesFromAddress(converted, static_cast<int32_t>(strnlen(converted, size)));
}
