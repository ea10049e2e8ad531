#include "osinfo/trim_blanks.h"

#include "runtime/value_commands.h"
#include "values/joins.h"

namespace {
bool IsBlank(const unsigned char* character, int width) {
  return width == 1 ? character[0] == ' ' : character[0] == 0xA1 && character[1] == 0xA1;
}
}  // namespace

Text TrimBlanks(const char* text) {
  auto* bytes = reinterpret_cast<const unsigned char*>(text);
  int32_t length = TextLength(text);
  int32_t start = -1;
  int32_t end = 0;
  for (int32_t at = 0; at < length;) {
    int width = bytes[at] >= 0x80 && at + 1 < length ? 2 : 1;
    if (!IsBlank(bytes + at, width)) {
      if (start < 0) start = at;
      end = at + width;
    }
    at += width;
  }
  return start < 0 ? Text() : TextFromBytes(text + start, end - start);
}
