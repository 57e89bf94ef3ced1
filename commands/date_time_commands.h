#pragma once

#include <cstdint>

#include "runtime/arg_cell.h"

// The date-time commands of the core library. Their date-time arguments are clamped and read
// with the time of day rounded to the nearest second (see date_time.h).

namespace commands {

// GetNow(): the local date and time, in whole seconds.
void GetNow(runtime::ArgCell* result, int32_t count, const runtime::ArgCell* args);
// GetDatePart(date-time): the same calendar day at 00:00:00.
void GetDatePart(runtime::ArgCell* result, int32_t count, const runtime::ArgCell* args);
// GetHour(date-time): 0-23.  GetMinute: 0-59.  GetSecond: 0-59.
void GetHour(runtime::ArgCell* result, int32_t count, const runtime::ArgCell* args);
void GetMinute(runtime::ArgCell* result, int32_t count, const runtime::ArgCell* args);
void GetSecond(runtime::ArgCell* result, int32_t count, const runtime::ArgCell* args);

}  // namespace commands
