#pragma once
// The local clock and calendar parts of dates. A date is an OLE Automation date: days since
// 1899-12-30 as a double, the fraction being the time of day.
#include <cstdint>

// The current local date and time, to the second.
double CurrentLocalTime();

// The calendar year, month 1 to 12 and day 1 to 31 of a date; 0 for a date outside the years
// 100 to 9999.
int32_t YearOf(double date);
int32_t MonthOf(double date);
int32_t DayOf(double date);
