#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "writing_history/history.h"

// The history file's text (UTF-8 JSON), one day to a line so that an author can read it:
//
//   {
//     "version": 1,
//     "target": 4000,
//     "days": [
//       {"date": "2026-12-08", "characters": 5120, "minutes": 183},
//       {"date": "2026-12-09", "characters": -40, "minutes": 2}
//     ]
//   }
//
// version    always 1; any other is refused (a later desk's file is not half understood)
// target     the daily target in characters, 0 for none
// days       in date order, each date once; characters may be negative (a day of cutting),
//            minutes 0 … 1440
namespace writing_history {

std::string HistoryToJson(const History& history);
// nullopt when the text is not such a file: not JSON, another version, a member missing or
// of the wrong kind, a date that does not exist or comes twice, minutes out of range.
std::optional<History> HistoryFromJson(std::string_view json);

// One day as one JSON object on one line (no line break): the database tool's output.
std::string DayLine(DayNumber day, const DayTotals& totals);

}  // namespace writing_history
