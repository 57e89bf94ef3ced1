#include "writing_history/history.h"

namespace writing_history {

void History::AddCharacters(DayNumber day, int64_t characters) {
  if (characters == 0) return;
  days_[day].characters += characters;
}

void History::AddMinute(DayNumber day) {
  DayTotals& totals = days_[day];
  if (totals.minutes < kMinutesInADay) ++totals.minutes;
}

DayTotals History::Day(DayNumber day) const {
  const auto found = days_.find(day);
  return found == days_.end() ? DayTotals{} : found->second;
}

}  // namespace writing_history
