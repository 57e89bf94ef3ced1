#pragma once

#include <cstdint>
#include <vector>

#include "writing_history/history.h"

// What the chart shows of a history, worked out once so that the chart only draws it.
namespace writing_history {

struct HistoryFigures {
  // The last `span` days up to and including today, oldest first; days without an entry
  // are there with zero totals.
  std::vector<DayNumber> days;
  std::vector<DayTotals> totals;
  int64_t target = 0;
  // Runs of consecutive days whose characters reached the target (0 without a target). The
  // current run ends today, or yesterday while today has not reached it yet: a day is not
  // lost before it is over.
  int32_t longest_run = 0;
  int32_t current_run = 0;
  int64_t this_week = 0;   // Monday to today
  int64_t this_month = 0;  // the 1st to today
  int64_t all_days = 0;    // every day of the history
};

// Requires: span >= 1.
HistoryFigures FiguresOf(const History& history, DayNumber today, int32_t span);

}  // namespace writing_history
