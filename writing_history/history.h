#pragma once

#include <cstdint>
#include <map>

#include "writing_history/calendar_day.h"

namespace writing_history {

// What one day added to the novel.
struct DayTotals {
  // Net growth of the counted characters of all chapters that day: text typed or pasted
  // adds, text or chapters deleted take away (so a day may be negative).
  int64_t characters = 0;
  // Minutes in which at least one key reached the text.
  int32_t minutes = 0;

  bool operator==(const DayTotals&) const = default;
};

// The author's writing history: one entry per day something happened, and the daily target
// (0: none). Days are never taken away: a chapter deleted today lowers today only.
class History {
 public:
  static constexpr int32_t kMinutesInADay = 24 * 60;

  void AddCharacters(DayNumber day, int64_t characters);
  // One more minute of writing on `day` (at most a day's minutes).
  void AddMinute(DayNumber day);
  // Adds what `later` holds (written while this was not known): characters summed, minutes
  // summed up to a day's; its target replaces this one's when it has one.
  void Add(const History& later);
  // Puts a day as it was read from a file.
  void SetDay(DayNumber day, DayTotals totals) { days_[day] = totals; }

  // The day's totals; zero for a day without an entry.
  DayTotals Day(DayNumber day) const;
  const std::map<DayNumber, DayTotals>& days() const { return days_; }

  int64_t target() const { return target_; }
  // A negative target is taken as none.
  void set_target(int64_t target) { target_ = target < 0 ? 0 : target; }

  bool operator==(const History&) const = default;

 private:
  std::map<DayNumber, DayTotals> days_;
  int64_t target_ = 0;
};

}  // namespace writing_history
