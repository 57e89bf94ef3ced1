#include "commands/date_time.h"

#include <cmath>

#include "runtime/cell_values.h"

namespace commands {

namespace {

// Days from 1970-01-01 to 1899-12-30.
constexpr int64_t kEpochFromUnixDays = -25569;

constexpr int64_t kSecondsPerDay = 86400;

// The civil-date algorithms over 400-year eras, which hold for any proleptic Gregorian date.
int64_t UnixDaysFromCivil(int64_t year, int64_t month, int64_t day) {
  year -= month <= 2 ? 1 : 0;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int64_t year_of_era = year - era * 400;
  const int64_t day_of_year = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + day_of_era - 719468;
}

void CivilFromUnixDays(int64_t days, CalendarParts& parts) {
  days += 719468;
  const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const int64_t day_of_era = days - era * 146097;
  const int64_t year_of_era =
      (day_of_era - day_of_era / 1460 + day_of_era / 36524 - day_of_era / 146096) / 365;
  const int64_t day_of_year =
      day_of_era - (365 * year_of_era + year_of_era / 4 - year_of_era / 100);
  const int64_t month_from_march = (5 * day_of_year + 2) / 153;
  parts.day = static_cast<int32_t>(day_of_year - (153 * month_from_march + 2) / 5 + 1);
  parts.month =
      static_cast<int32_t>(month_from_march < 10 ? month_from_march + 3 : month_from_march - 9);
  parts.year = static_cast<int32_t>(year_of_era + era * 400 + (parts.month <= 2 ? 1 : 0));
}

}  // namespace

bool IsLeapYear(int32_t year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int32_t DaysInMonth(int32_t year, int32_t month) {
  static constexpr int32_t kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

int64_t DayNumber(int32_t year, int32_t month, int32_t day) {
  return UnixDaysFromCivil(year, month, day) - kEpochFromUnixDays;
}

bool IsValidCalendarParts(const CalendarParts& parts) {
  return parts.year >= 100 && parts.year <= 9999 && parts.month >= 1 && parts.month <= 12 &&
         parts.day >= 1 && parts.day <= DaysInMonth(parts.year, parts.month) && parts.hour >= 0 &&
         parts.hour <= 23 && parts.minute >= 0 && parts.minute <= 59 && parts.second >= 0 &&
         parts.second <= 59;
}

CalendarParts DateTimeToParts(double date_time) {
  const double value = runtime::ClampDateTime(date_time);
  const double whole_days = std::trunc(value);
  int64_t day = static_cast<int64_t>(whole_days);
  int64_t seconds = std::llround(std::fabs(value - whole_days) * kSecondsPerDay);
  if (seconds >= kSecondsPerDay) {  // 23:59:59.5 and later round to the next day's midnight
    seconds -= kSecondsPerDay;
    day += 1;
  }
  CalendarParts parts;
  CivilFromUnixDays(day + kEpochFromUnixDays, parts);
  parts.hour = static_cast<int32_t>(seconds / 3600);
  parts.minute = static_cast<int32_t>(seconds / 60 % 60);
  parts.second = static_cast<int32_t>(seconds % 60);
  return parts;
}

double PartsToDateTime(const CalendarParts& parts) {
  const double day = static_cast<double>(DayNumber(parts.year, parts.month, parts.day));
  const double time =
      static_cast<double>(parts.hour * 3600 + parts.minute * 60 + parts.second) / kSecondsPerDay;
  return day < 0 ? day - time : day + time;
}

double DatePart(double date_time) {
  const CalendarParts parts = DateTimeToParts(date_time);
  return static_cast<double>(DayNumber(parts.year, parts.month, parts.day));
}

}  // namespace commands
