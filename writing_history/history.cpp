#include "writing_history/history.h"

#include <algorithm>

namespace writing_history {

void History::AddCharacters(DayNumber day, int64_t characters) {
  if (characters == 0) return;
  days_[day].characters += characters;
}

void History::AddMinute(DayNumber day) {
  DayTotals& totals = days_[day];
  if (totals.minutes < kMinutesInADay) ++totals.minutes;
}

void History::Add(const History& later) {
  for (const auto& [day, totals] : later.days_) {
    DayTotals& sum = days_[day];
    sum.characters += totals.characters;
    sum.minutes = std::min(sum.minutes + totals.minutes, kMinutesInADay);
  }
  if (later.target_ > 0) target_ = later.target_;
}

DayTotals History::Day(DayNumber day) const {
  const auto found = days_.find(day);
  return found == days_.end() ? DayTotals{} : found->second;
}

}  // namespace writing_history
