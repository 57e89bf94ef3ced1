#include "writing_history/calendar_day.h"

#include <cstdio>

#include "commands/date_time.h"

// The calendar is the date-time commands' own: a day number here is theirs (days since
// 1899-12-30), so both agree on every date.
namespace writing_history {

namespace {

commands::CalendarParts PartsOf(DayNumber day) { return commands::DateTimeToParts(day); }

bool Digits(std::string_view text, size_t at, size_t length, int32_t* value) {
  *value = 0;
  for (size_t i = at; i < at + length; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    *value = *value * 10 + (text[i] - '0');
  }
  return true;
}

}  // namespace

DayNumber DayNumberOf(int year, int month, int day) {
  return static_cast<DayNumber>(commands::DayNumber(year, month, day));
}

std::string DayText(DayNumber day) {
  const commands::CalendarParts parts = PartsOf(day);
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", parts.year, parts.month, parts.day);
  return text;
}

std::optional<DayNumber> ParseDayText(std::string_view text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
  commands::CalendarParts parts;
  if (!Digits(text, 0, 4, &parts.year) || !Digits(text, 5, 2, &parts.month) ||
      !Digits(text, 8, 2, &parts.day) || !commands::IsValidCalendarParts(parts))
    return std::nullopt;
  return DayNumberOf(parts.year, parts.month, parts.day);
}

int WeekdayFromMonday(DayNumber day) {
  // Day 0, 1899-12-30, was a Saturday (5 counted from Monday).
  return static_cast<int>(((int64_t{day} % 7) + 7 + 5) % 7);
}

DayNumber FirstOfMonth(DayNumber day) {
  const commands::CalendarParts parts = PartsOf(day);
  return DayNumberOf(parts.year, parts.month, 1);
}

std::string MonthDayText(DayNumber day) { return DayText(day).substr(5); }

}  // namespace writing_history
