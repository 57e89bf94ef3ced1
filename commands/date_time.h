#pragma once

#include <cstdint>

// Date-times are doubles counting days from 1899-12-30 00:00:00 in the proleptic Gregorian
// calendar. As in the platform's own date values, the integer part is the day and the fraction's
// magnitude the time of day, also below zero: -1.25 is 1899-12-29 06:00:00, not 1899-12-28
// 18:00:00. Every operation that takes a date-time apart first clamps it to
// runtime::kMinDateTime .. runtime::kMaxDateTime (0100-01-01 .. 9999-12-31), and reads the time of
// day rounded to the nearest second, carrying into the next day from 23:59:59.5 on.

namespace commands {

struct CalendarParts {
  int32_t year = 1899;
  int32_t month = 12;  // 1 .. 12
  int32_t day = 30;    // 1 .. 31
  int32_t hour = 0;    // 0 .. 23
  int32_t minute = 0;  // 0 .. 59
  int32_t second = 0;  // 0 .. 59

  bool operator==(const CalendarParts&) const = default;
};

bool IsLeapYear(int32_t year);
// Requires: 1 <= month <= 12.
int32_t DaysInMonth(int32_t year, int32_t month);

// The day number (days since 1899-12-30) of a calendar date. Requires a valid date.
int64_t DayNumber(int32_t year, int32_t month, int32_t day);

// Whether the parts name a date-time that a value can hold: years 100 to 9999, a day that the
// month has, 0-23 hours, 0-59 minutes and seconds.
bool IsValidCalendarParts(const CalendarParts& parts);

// The calendar parts of a date-time.
CalendarParts DateTimeToParts(double date_time);

// The date-time of calendar parts. Requires: IsValidCalendarParts(parts).
double PartsToDateTime(const CalendarParts& parts);

// The calendar day of `date_time` at 00:00:00.
double DatePart(double date_time);

}  // namespace commands
