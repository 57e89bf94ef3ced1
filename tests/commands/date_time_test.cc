#include "commands/date_time.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

#include "commands/date_time_commands.h"
#include "commands/date_time_text.h"
#include "platform/core/clock.h"
#include "runtime/gates.h"
#include "tests/commands/command_test_support.h"

namespace commands_test {
namespace {

using commands::CalendarParts;
using commands::DateTimeToParts;
using commands::PartsToDateTime;
namespace chrono = std::chrono;

// Days from 1970-01-01 to 1899-12-30.
constexpr int64_t kEpoch = -25569;

// The calendar date of a day number, from the standard library's calendar.
chrono::year_month_day ChronoDate(int64_t day_number) {
  return chrono::year_month_day(chrono::sys_days(chrono::days(day_number + kEpoch)));
}

int64_t ChronoDayNumber(int year, unsigned month, unsigned day) {
  const chrono::sys_days days{chrono::year(year) / chrono::month(month) / chrono::day(day)};
  return days.time_since_epoch().count() - kEpoch;
}

bool SameDate(const CalendarParts& parts, const chrono::year_month_day& date) {
  return parts.year == static_cast<int>(date.year()) &&
         parts.month == static_cast<int>(static_cast<unsigned>(date.month())) &&
         parts.day == static_cast<int>(static_cast<unsigned>(date.day()));
}

// A value for day number `day` at `seconds` into the day: below day 0 the fraction is
// subtracted, as the platform's date values count.
double ValueOf(int64_t day, int64_t seconds) {
  const double time = static_cast<double>(seconds) / 86400;
  return day < 0 ? static_cast<double>(day) - time : static_cast<double>(day) + time;
}

TEST(Calendar, AgreesWithTheStandardCalendarOverTheWholeRange) {
  std::vector<int64_t> days;
  for (int64_t day = -657434; day <= 2958465; day += 997) days.push_back(day);
  // Around leap days, the turns of centuries and day 0, and the ends of the range.
  const int special[][3] = {{100, 1, 1},   {100, 2, 28},   {100, 3, 1},    {104, 2, 29},
                            {1600, 2, 29}, {1899, 12, 29}, {1899, 12, 30}, {1899, 12, 31},
                            {1900, 2, 28}, {1900, 3, 1},   {2000, 2, 29},  {2024, 2, 29},
                            {2100, 3, 1},  {9999, 12, 31}};
  for (const auto& [year, month, day] : special) {
    days.push_back(ChronoDayNumber(year, static_cast<unsigned>(month), static_cast<unsigned>(day)));
  }
  const std::vector<int64_t> times = {0, 1, 59, 3600, 12 * 3600 + 34 * 60 + 56, 86399};
  for (int64_t day : days) {
    const chrono::year_month_day expected = ChronoDate(day);
    ASSERT_EQ(commands::DayNumber(static_cast<int>(expected.year()),
                                  static_cast<unsigned>(expected.month()),
                                  static_cast<unsigned>(expected.day())),
              day);
    for (int64_t seconds : times) {
      // Times on the first and the last day lie outside the values a date-time holds.
      if ((day == 2958465 || day == -657434) && seconds != 0) continue;
      const CalendarParts parts = DateTimeToParts(ValueOf(day, seconds));
      ASSERT_TRUE(SameDate(parts, expected)) << day << " " << seconds;
      ASSERT_EQ(parts.hour * 3600 + parts.minute * 60 + parts.second, seconds) << day;
      ASSERT_DOUBLE_EQ(PartsToDateTime(parts), ValueOf(day, seconds)) << day;
    }
  }
}

TEST(Calendar, TheRangeOfDateTimes) {
  EXPECT_EQ(commands::DayNumber(100, 1, 1), runtime::kMinDateTime);
  EXPECT_EQ(commands::DayNumber(9999, 12, 31), runtime::kMaxDateTime);
}

TEST(DateTimeToParts, ClampsAndRoundsToTheNearestSecond) {
  const double day = static_cast<double>(commands::DayNumber(2013, 12, 5));
  struct Case {
    const char* name;
    double value;
    CalendarParts expected;
  };
  const std::vector<Case> cases = {
      {"past half a second rounds up", day + 0.51 / 86400, {2013, 12, 5, 0, 0, 1}},
      {"less rounds down", day + 0.49 / 86400, {2013, 12, 5, 0, 0, 0}},
      {"23:59:59.6 carries into the next day", day + 86399.6 / 86400, {2013, 12, 6, 0, 0, 0}},
      {"last day of a month carries into the next month",
       static_cast<double>(commands::DayNumber(2024, 2, 29)) + 0.9999999,
       {2024, 3, 1, 0, 0, 0}},
      {"too late clamps to the last day", 3e7, {9999, 12, 31, 0, 0, 0}},
      {"the last day's time is beyond the range",
       runtime::kMaxDateTime + 0.5,
       {9999, 12, 31, 0, 0, 0}},
      {"too early clamps to the first day", -1e9, {100, 1, 1, 0, 0, 0}},
      {"not a number is day 0", std::nan(""), {1899, 12, 30, 0, 0, 0}},
      // Below day 0 the fraction still counts forward from the day's midnight.
      {"-1.25 is 06:00 the day before", -1.25, {1899, 12, 29, 6, 0, 0}},
      {"-0.25 is 06:00 on day 0", -0.25, {1899, 12, 30, 6, 0, 0}},
  };
  for (const Case& c : cases) EXPECT_EQ(DateTimeToParts(c.value), c.expected) << c.name;
}

TEST(DateTimeToText, WritesTheTimeAsFarAsItIsNotZero) {
  const double day = static_cast<double>(commands::DayNumber(2013, 12, 5));
  struct Case {
    double value;
    const char* expected;  // UTF-8
  };
  const std::vector<Case> cases = {
      {day, "2013年12月5日"},
      {day + (14 * 60 + 30) / 1440.0, "2013年12月5日14时30分"},
      {day + 5 / 86400.0, "2013年12月5日0时0分5秒"},
      {day + 9 / 24.0, "2013年12月5日9时"},
      {day + (23 * 3600 + 59 * 60 + 59) / 86400.0, "2013年12月5日23时59分59秒"},
      {runtime::kMinDateTime, "100年1月1日"},
      {-1.25, "1899年12月29日6时"},
  };
  for (const Case& c : cases) EXPECT_EQ(commands::DateTimeToText(c.value), Gbk(c.expected));
}

TEST(TextToDateTime, AcceptsTheTypedForms) {
  const double day = static_cast<double>(commands::DayNumber(2013, 12, 5));
  struct Case {
    const char* text;  // UTF-8
    double expected;
  };
  const std::vector<Case> cases = {
      {"2013-12-5", day},
      {"2013年12月5日14时30分", day + (14 * 60 + 30) / 1440.0},
      {"2013/12/05 14:30:05", day + (14 * 3600 + 30 * 60 + 5) / 86400.0},
      {"2013.12.5.14.30.5秒", day + (14 * 3600 + 30 * 60 + 5) / 86400.0},
      {"２０１３－１２－５", day},  // full-width digits and signs
      {"20131205", day},            // the parts by their digit counts
      {"2000-2-29", static_cast<double>(commands::DayNumber(2000, 2, 29))},
      {"100-1-1", runtime::kMinDateTime},
      {"9999-12-31 23:59:59", runtime::kMaxDateTime + 86399.0 / 86400},
      {"1899-12-29 6", -1.25},
  };
  for (const Case& c : cases) {
    const std::optional<double> value = commands::TextToDateTime(Gbk(c.text));
    ASSERT_TRUE(value.has_value()) << c.text;
    EXPECT_DOUBLE_EQ(*value, c.expected) << c.text;
  }
}

TEST(TextToDateTime, RejectsWhatIsNoDateTime) {
  for (const char* text : {
           "",
           "2013-2-30",  // no such day
           "2013-13-1",  // no such month
           "1900-2-29",  // not a leap year
           "2013-12-0",
           "99-1-1",                  // before the year 100
           "2013年12月5日 14时30分",  // only one separator may follow the day
           "2013-12-5 24:00",
           "2013-12-5 12:60",
           "2013-12-5 12:30:60",
           "2013-12-5x",
           "2013-12-5 12:30:05秒x",
       }) {
    EXPECT_FALSE(commands::TextToDateTime(Gbk(text)).has_value()) << text;
  }
}

TEST(DateTimeCommands, TakeTheRoundedPartsOfTheClampedValue) {
  const double day = static_cast<double>(commands::DayNumber(2013, 12, 5));
  const double value = day + (14 * 3600 + 30 * 60 + 5.6) / 86400;
  auto part = [](runtime::CommandFunction command, double date_time) {
    return static_cast<int32_t>(
        runtime::CallCoreCommand(command, {ArgCell::DateTime(date_time)}).low);
  };
  EXPECT_EQ(part(commands::GetHour, value), 14);
  EXPECT_EQ(part(commands::GetMinute, value), 30);
  EXPECT_EQ(part(commands::GetSecond, value), 6);
  const ArgCell date = runtime::CallCoreCommand(commands::GetDatePart, {ArgCell::DateTime(value)});
  EXPECT_EQ(date.type, runtime::kDateTime);
  EXPECT_EQ(date.As<double>(), day);
  // 23:59:59.7 is already the next day.
  EXPECT_EQ(
      runtime::CallCoreCommand(commands::GetDatePart, {ArgCell::DateTime(day + 86399.7 / 86400)})
          .As<double>(),
      day + 1);
  EXPECT_EQ(part(commands::GetHour, day + 86399.7 / 86400), 0);
  EXPECT_EQ(runtime::CallCoreCommand(commands::GetDatePart, {ArgCell::DateTime(5e6)}).As<double>(),
            runtime::kMaxDateTime);
}

TEST(DateTimeCommands, GetNowIsTheLocalTimeInWholeSeconds) {
  const platform::LocalTime before = platform::NowLocal();
  const double now = runtime::CallCoreCommand(commands::GetNow, {}).As<double>();
  EXPECT_NEAR(now * 86400, std::round(now * 86400), 1e-3);
  const double expected = PartsToDateTime(
      {before.year, before.month, before.day, before.hour, before.minute, before.second});
  EXPECT_GE(now, expected - 1e-9);
  EXPECT_LE(now, expected + 2.0 / 86400);
}

}  // namespace
}  // namespace commands_test
