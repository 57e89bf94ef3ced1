#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace writing_history {

// A calendar day as the date-time commands number it (days since 1899-12-30): consecutive
// days differ by one, so runs and spans are plain arithmetic.
using DayNumber = int32_t;

DayNumber DayNumberOf(int year, int month, int day);

// "2026-12-09".
std::string DayText(DayNumber day);
// A day written as DayText writes it (four-digit year, two-digit month and day, a day that
// exists); nullopt for anything else.
std::optional<DayNumber> ParseDayText(std::string_view text);

// 0 = Monday … 6 = Sunday: an author's week starts on Monday.
int WeekdayFromMonday(DayNumber day);
// The first day of the day's month.
DayNumber FirstOfMonth(DayNumber day);
// The month and day ("12-09"), for the chart's axis.
std::string MonthDayText(DayNumber day);

}  // namespace writing_history
