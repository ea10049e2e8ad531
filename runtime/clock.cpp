#include "runtime/clock.h"

#include <windows.h>

#include <oleauto.h>

#include <cmath>

namespace {
SYSTEMTIME CalendarDay(double date) {
  SYSTEMTIME day = {};
  // The whole part alone: the conversion rounds to the second, which would carry 23:59:59.6 into
  // the next day.
  (void)VariantTimeToSystemTime(std::trunc(date), &day);
  return day;
}
}  // namespace

double CurrentLocalTime() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  double date = 0;
  (void)SystemTimeToVariantTime(&now, &date);
  return date;
}

int32_t YearOf(double date) { return CalendarDay(date).wYear; }
int32_t MonthOf(double date) { return CalendarDay(date).wMonth; }
int32_t DayOf(double date) { return CalendarDay(date).wDay; }
