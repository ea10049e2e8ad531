// The getters that ask Win32 directly.
#include <windows.h>

#include <cstring>

#include "osinfo/os_info.h"
#include "runtime/value_commands.h"
#include "values/code_page.h"

namespace {
const int kBufferLength = 256;

// The buffer up to its first zero byte, as a fresh text.
Text TextUpToZero(const char* buffer) {
  return TextFromBytes(buffer, static_cast<int32_t>(strnlen(buffer, kBufferLength + 1)));
}

Text LocaleText(LCTYPE information) {
  Text buffer = BlankText(kBufferLength);
  (void)GetLocaleInfoA(0, information, buffer.data(), kBufferLength);
  return TextUpToZero(buffer.get());
}
}  // namespace

Text OsInfo::UserName() {
  Text buffer = BlankText(kBufferLength);
  DWORD size = kBufferLength;
  if (GetUserNameA(buffer.data(), &size) != 1) return Text();
  return TextUpToZero(buffer.get());
}

Text OsInfo::TimeZoneStandardName() {
  TIME_ZONE_INFORMATION zone = {};
  (void)GetTimeZoneInformation(&zone);
  ByteSet name = BytesFromAddress(zone.StandardName, sizeof zone.StandardName);
  return Utf16ToText(name.get());
}

Text OsInfo::CurrencySymbol() { return LocaleText(LOCALE_SCURRENCY); }
Text OsInfo::LongDateFormat() { return LocaleText(LOCALE_SLONGDATE); }
Text OsInfo::TimeFormat() { return LocaleText(LOCALE_STIMEFORMAT); }
