#include "repair/backup.h"

#include <windows.h>

#include <cstring>

#include "runtime/byte_set.h"
#include "runtime/clock.h"
#include "runtime/file_commands.h"
#include "runtime/value_commands.h"
#include "values/joins.h"

namespace {
enum class NameState { Free, Taken, Unknown };

Text TwoDigits(int32_t value) {
  Text digits = IntegerToText(value);
  Text padded = JoinTexts("00", digits.get());
  return RightmostCharacters(padded.get(), 2);
}

// Only "not found" means free: a name that cannot be looked at (access denied, too long) may well
// be taken.
NameState StateOf(const char* path) {
  if (GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES) return NameState::Taken;
  return GetLastError() == ERROR_FILE_NOT_FOUND ? NameState::Free : NameState::Unknown;
}

// A backup that cannot be read, or is longer than the bytes, holds other bytes: it is measured
// before it is read, so a stray huge file is never loaded.
bool HoldsExactly(const char* path, const ByteSetBlock* bytes) {
  ByteSet content;
  int32_t length = BytesLength(bytes);
  if (!ReadFileBytes(path, &content, length)) return false;
  return content.length() == length &&
         (length == 0 || memcmp(content.get()->bytes(), bytes->bytes(), length) == 0);
}

Text NumberedName(const char* base, int32_t number) {
  if (number == 1) return JoinTexts(base);
  Text numberText = IntegerToText(number);
  return JoinTexts(base, "_", numberText.get());
}
}  // namespace

Text BackupSuffix(double date) {
  Text year = IntegerToText(YearOf(date));
  Text month = TwoDigits(MonthOf(date));
  Text day = TwoDigits(DayOf(date));
  return JoinTexts("_bak", year.get(), month.get(), day.get());
}

bool SecureInBackup(const char* path, double date) {
  ByteSet bytes;
  if (!ReadFileBytes(path, &bytes)) return false;
  Text suffix = BackupSuffix(date);
  Text base = JoinTexts(path, suffix.get());
  for (int32_t number = 1; number < INT32_MAX; ++number) {
    Text name = NumberedName(base.get(), number);
    switch (StateOf(name.get())) {
      case NameState::Unknown:
        return false;
      case NameState::Taken:
        if (HoldsExactly(name.get(), bytes.get())) return true;
        break;
      case NameState::Free:
        if (CopyFileA(path, name.get(), TRUE)) return true;
        if (GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) {
          return false;
        }
        // Taken since it was looked at, by another process or another copy of the tool: it is
        // compared like any other backup of the day.
        if (HoldsExactly(name.get(), bytes.get())) return true;
        break;
    }
  }
  return false;
}

bool SafeToOverwrite(const char* path, double date) {
  switch (StateOf(path)) {
    case NameState::Free:
      return true;
    case NameState::Taken:
      return SecureInBackup(path, date);
    case NameState::Unknown:
      break;
  }
  return false;
}
