#include "writing_history/calendar_day.h"

#include <chrono>
#include <cstdio>

namespace writing_history {

namespace {

using namespace std::chrono;

year_month_day DateOf(DayNumber day) { return year_month_day{sys_days{days{day}}}; }

bool TwoDigits(std::string_view text, size_t at) {
  return text[at] >= '0' && text[at] <= '9' && text[at + 1] >= '0' && text[at + 1] <= '9';
}

int Number(std::string_view text, size_t at, size_t length) {
  int value = 0;
  for (size_t i = at; i < at + length; ++i) value = value * 10 + (text[i] - '0');
  return value;
}

}  // namespace

DayNumber DayNumberOf(int year, int month, int day) {
  const year_month_day date{std::chrono::year{year}, std::chrono::month{static_cast<unsigned>(month)},
                            std::chrono::day{static_cast<unsigned>(day)}};
  return static_cast<DayNumber>(sys_days{date}.time_since_epoch().count());
}

std::string DayText(DayNumber day) {
  const year_month_day date = DateOf(day);
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
  return text;
}

std::optional<DayNumber> ParseDayText(std::string_view text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
  if (!TwoDigits(text, 0) || !TwoDigits(text, 2) || !TwoDigits(text, 5) || !TwoDigits(text, 8))
    return std::nullopt;
  const year_month_day date{std::chrono::year{Number(text, 0, 4)},
                            std::chrono::month{static_cast<unsigned>(Number(text, 5, 2))},
                            std::chrono::day{static_cast<unsigned>(Number(text, 8, 2))}};
  if (!date.ok()) return std::nullopt;
  return static_cast<DayNumber>(sys_days{date}.time_since_epoch().count());
}

int WeekdayFromMonday(DayNumber day) {
  // 1970-01-01 was a Thursday (3 counted from Monday).
  return static_cast<int>(((int64_t{day} % 7) + 7 + 3) % 7);
}

DayNumber FirstOfMonth(DayNumber day) {
  const year_month_day date = DateOf(day);
  return static_cast<DayNumber>(
      sys_days{date.year() / date.month() / std::chrono::day{1}}.time_since_epoch().count());
}

std::string MonthDayText(DayNumber day) { return DayText(day).substr(5); }

}  // namespace writing_history
