// The getters of date-time and array properties.
#include "osinfo/os_info.h"
#include "osinfo/trim_blanks.h"
#include "osinfo/wmi_date_time.h"
#include "osinfo/wmi_query.h"
#include "values/text_array.h"

namespace {
double DateProperty(const char* query, const char* property) {
  Text untrimmed = VariantToText(WmiQueryProperty(query, property).get());
  Text trimmed = TrimBlanks(untrimmed.get());
  return WmiDateTimeToDate(trimmed.get());
}
}  // namespace

double OsInfo::InstallDate() {
  return DateProperty("Select InstallDate From Win32_OperatingSystem", "InstallDate");
}

double OsInfo::LastBootUpTime() {
  return DateProperty("Select LastBootUpTime From Win32_OperatingSystem", "LastBootUpTime");
}

double OsInfo::LocalDateTime() {
  return DateProperty("Select LocalDateTime From Win32_OperatingSystem", "LocalDateTime");
}

int32_t OsInfo::MUILanguages(void*& languages) {
  Variant value =
      WmiQueryProperty("Select MUILanguages From Win32_OperatingSystem", "MUILanguages");
  int32_t count = VariantArrayCount(value.get());
  for (int32_t i = 1; i <= count; ++i) {
    Text language = VariantToText(VariantElement(value.get(), i).get());
    AppendToTextArray(languages, language.get());
  }
  return count;
}
