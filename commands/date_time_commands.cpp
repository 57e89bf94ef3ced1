#include "commands/date_time_commands.h"

#include <algorithm>

#include "commands/command_arguments.h"
#include "commands/date_time.h"
#include "platform/core/clock.h"

namespace commands {

using runtime::ArgCell;

void GetNow(ArgCell* result, int32_t, const ArgCell*) {
  const platform::LocalTime now = platform::NowLocal();
  CalendarParts parts;
  parts.year = now.year;
  parts.month = now.month;
  parts.day = now.day;
  parts.hour = now.hour;
  parts.minute = now.minute;
  parts.second = std::min(now.second, 59);  // a leap second reads as the second before it
  *result = ArgCell::DateTime(IsValidCalendarParts(parts) ? PartsToDateTime(parts) : 0.0);
}

void GetDatePart(ArgCell* result, int32_t count, const ArgCell* args) {
  *result = ArgCell::DateTime(DatePart(CommandArguments(count, args).DateTime(0)));
}

void GetHour(ArgCell* result, int32_t count, const ArgCell* args) {
  *result = ArgCell::Int(DateTimeToParts(CommandArguments(count, args).DateTime(0)).hour);
}

void GetMinute(ArgCell* result, int32_t count, const ArgCell* args) {
  *result = ArgCell::Int(DateTimeToParts(CommandArguments(count, args).DateTime(0)).minute);
}

void GetSecond(ArgCell* result, int32_t count, const ArgCell* args) {
  *result = ArgCell::Int(DateTimeToParts(CommandArguments(count, args).DateTime(0)).second);
}

}  // namespace commands
