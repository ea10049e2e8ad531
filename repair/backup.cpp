#include "repair/backup.h"

#include <windows.h>

#include <cstring>

#include "runtime/clock.h"
#include "runtime/file_commands.h"
#include "runtime/value_commands.h"
#include "values/joins.h"

namespace {
Text TwoDigits(int32_t value) {
  Text digits = IntegerToText(value);
  Text padded = JoinTexts("00", digits.get());
  return RightmostCharacters(padded.get(), 2);
}

bool Exists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

bool HoldsExactly(const char* path, const ByteSetBlock* bytes) {
  ByteSet content;
  if (!ReadFileBytes(path, &content)) return false;
  int32_t length = content.length();
  return length == BytesLength(bytes) &&
         (length == 0 || memcmp(content.get()->bytes(), bytes->bytes(), length) == 0);
}
}  // namespace

Text BackupSuffix(double date) {
  Text year = IntegerToText(YearOf(date));
  Text month = TwoDigits(MonthOf(date));
  Text day = TwoDigits(DayOf(date));
  return JoinTexts("_bak", year.get(), month.get(), day.get());
}

Text ChooseBackupPath(const char* base, const ByteSetBlock* bytes) {
  Text candidate = JoinTexts(base);
  for (int32_t number = 2; Exists(candidate.get()) && !HoldsExactly(candidate.get(), bytes);
       ++number) {
    Text numberText = IntegerToText(number);
    candidate = JoinTexts(base, "_", numberText.get());
  }
  return candidate;
}

bool SecureInBackup(const char* path, double date) {
  ByteSet bytes;
  if (!ReadFileBytes(path, &bytes)) return false;
  Text suffix = BackupSuffix(date);
  Text base = JoinTexts(path, suffix.get());
  Text backup = ChooseBackupPath(base.get(), bytes.get());
  if (Exists(backup.get())) return true;
  return CopyFileA(path, backup.get(), TRUE) != 0;
}
