#include "writing_history/history_figures.h"

#include <algorithm>

namespace writing_history {

namespace {

bool TargetMet(const History& history, DayNumber day) {
  return history.target() > 0 && history.Day(day).characters >= history.target();
}

int32_t LongestRun(const History& history) {
  int32_t longest = 0;
  int32_t run = 0;
  DayNumber previous = 0;
  for (const auto& [day, totals] : history.days()) {
    if (totals.characters < history.target()) {
      run = 0;
      continue;
    }
    run = run > 0 && day == previous + 1 ? run + 1 : 1;
    previous = day;
    longest = std::max(longest, run);
  }
  return longest;
}

int32_t CurrentRun(const History& history, DayNumber today) {
  DayNumber day = TargetMet(history, today) ? today : today - 1;
  int32_t run = 0;
  while (TargetMet(history, day)) {
    ++run;
    --day;
  }
  return run;
}

int64_t CharactersFrom(const History& history, DayNumber first, DayNumber last) {
  int64_t sum = 0;
  for (auto it = history.days().lower_bound(first); it != history.days().end() && it->first <= last; ++it)
    sum += it->second.characters;
  return sum;
}

}  // namespace

HistoryFigures FiguresOf(const History& history, DayNumber today, int32_t span) {
  HistoryFigures figures;
  figures.target = history.target();
  for (DayNumber day = today - span + 1; day <= today; ++day) {
    figures.days.push_back(day);
    figures.totals.push_back(history.Day(day));
  }
  if (history.target() > 0) {
    figures.longest_run = LongestRun(history);
    figures.current_run = CurrentRun(history, today);
  }
  figures.this_week = CharactersFrom(history, today - WeekdayFromMonday(today), today);
  figures.this_month = CharactersFrom(history, FirstOfMonth(today), today);
  for (const auto& [day, totals] : history.days()) figures.all_days += totals.characters;
  return figures;
}

}  // namespace writing_history
