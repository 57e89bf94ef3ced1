// What the chart shows of a history: the days, the runs of days that met the target, totals.
#include <gtest/gtest.h>

#include "writing_history/figure_text.h"
#include "writing_history/history_figures.h"

namespace writing_history {
namespace {

const DayNumber kWednesday = DayNumberOf(2026, 12, 9);

TEST(CalendarDay, DatesWeekdaysAndMonthsLineUp) {
  EXPECT_EQ(DayText(kWednesday), "2026-12-09");
  EXPECT_EQ(ParseDayText("2026-12-09"), kWednesday);
  EXPECT_EQ(ParseDayText("2024-02-29"), DayNumberOf(2024, 2, 29));
  EXPECT_FALSE(ParseDayText("2025-02-29"));
  EXPECT_EQ(WeekdayFromMonday(kWednesday), 2);
  EXPECT_EQ(WeekdayFromMonday(DayNumberOf(1899, 12, 25)), 0);  // before the count's start
  EXPECT_EQ(FirstOfMonth(kWednesday), DayNumberOf(2026, 12, 1));
  EXPECT_EQ(MonthDayText(kWednesday), "12-09");
}

TEST(FigureText, CountsAreGroupedByThousands) {
  EXPECT_EQ(Grouped(0), "0");
  EXPECT_EQ(Grouped(999), "999");
  EXPECT_EQ(Grouped(1000), "1,000");
  EXPECT_EQ(Grouped(-1234567), "-1,234,567");
  EXPECT_EQ(Grouped(INT64_MIN), "-9,223,372,036,854,775,808");
  EXPECT_EQ(TodayProgressText(2345, 4000), "今日：2,345 / 4,000 字");
  EXPECT_EQ(TodayProgressText(-40, 0), "今日：-40 字");
}

TEST(HistoryFigures, TheSpanEndsTodayWithEmptyDaysAsZero) {
  History history;
  history.AddCharacters(kWednesday - 40, 999);  // outside the span
  history.AddCharacters(kWednesday - 2, 300);
  history.AddCharacters(kWednesday, -20);
  const HistoryFigures figures = FiguresOf(history, kWednesday, 30);
  ASSERT_EQ(figures.days.size(), 30u);
  EXPECT_EQ(figures.days.front(), kWednesday - 29);
  EXPECT_EQ(figures.days.back(), kWednesday);
  EXPECT_EQ(figures.totals[27].characters, 300);
  EXPECT_EQ(figures.totals[28].characters, 0);
  EXPECT_EQ(figures.totals[29].characters, -20);
  EXPECT_EQ(figures.all_days, 999 + 300 - 20);
}

TEST(HistoryFigures, WeekStartsMondayAndMonthOnTheFirst) {
  History history;
  history.AddCharacters(DayNumberOf(2026, 11, 30), 1);  // Monday, last month
  history.AddCharacters(DayNumberOf(2026, 12, 1), 10);
  history.AddCharacters(DayNumberOf(2026, 12, 6), 100);   // Sunday, last week
  history.AddCharacters(DayNumberOf(2026, 12, 7), 1000);  // Monday
  history.AddCharacters(kWednesday, 10000);
  history.AddCharacters(kWednesday + 1, 99999);  // a day after today is not counted
  const HistoryFigures figures = FiguresOf(history, kWednesday, 30);
  EXPECT_EQ(figures.this_week, 11000);
  EXPECT_EQ(figures.this_month, 11110);
}

TEST(HistoryFigures, RunsCountConsecutiveDaysThatMetTheTarget) {
  History history;
  history.set_target(100);
  // Met: -9 … -6 (four days), -4 … -1 (four days, the current run); today not yet met.
  for (DayNumber day : {-9, -8, -7, -6, -4, -3, -2, -1}) history.AddCharacters(kWednesday + day, 100);
  history.AddCharacters(kWednesday - 5, 99);
  history.AddCharacters(kWednesday, 50);
  HistoryFigures figures = FiguresOf(history, kWednesday, 30);
  EXPECT_EQ(figures.current_run, 4);
  EXPECT_EQ(figures.longest_run, 4);

  history.AddCharacters(kWednesday, 50);  // today met: the run goes on through today
  figures = FiguresOf(history, kWednesday, 30);
  EXPECT_EQ(figures.current_run, 5);
  EXPECT_EQ(figures.longest_run, 5);

  history.AddCharacters(kWednesday - 1, -1);  // yesterday fell short: today alone
  figures = FiguresOf(history, kWednesday, 30);
  EXPECT_EQ(figures.current_run, 1);
  EXPECT_EQ(figures.longest_run, 4);

  history.set_target(0);  // no target, no runs
  figures = FiguresOf(history, kWednesday, 30);
  EXPECT_EQ(figures.current_run, 0);
  EXPECT_EQ(figures.longest_run, 0);
}

TEST(HistoryFigures, DaysWithoutAnEntryBreakARun) {
  History history;
  history.set_target(10);
  history.AddCharacters(kWednesday - 3, 10);
  history.AddCharacters(kWednesday - 1, 10);  // the day between has no entry at all
  const HistoryFigures figures = FiguresOf(history, kWednesday, 30);
  EXPECT_EQ(figures.longest_run, 1);
  EXPECT_EQ(figures.current_run, 1);
}

}  // namespace
}  // namespace writing_history
