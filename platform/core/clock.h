#ifndef INKSTONE_PLATFORM_CORE_CLOCK_H_
#define INKSTONE_PLATFORM_CORE_CLOCK_H_

#include <cstdint>

namespace platform {

// Milliseconds on a steady clock (time since boot where the system provides it). Wraps around
// after about 49.7 days, so compare two ticks by unsigned difference: `TickCount() - start`.
uint32_t TickCount();

// Suspends the calling thread. A negative or zero duration only yields.
void SleepMilliseconds(int32_t milliseconds);

struct LocalTime {
  int year = 0;         // e.g. 2024
  int month = 0;        // 1 … 12
  int day = 0;          // 1 … 31
  int hour = 0;         // 0 … 23
  int minute = 0;       // 0 … 59
  int second = 0;       // 0 … 59 (60 during a leap second)
  int millisecond = 0;  // 0 … 999
  int day_of_week = 0;  // 0 = Sunday … 6 = Saturday
};

// The wall-clock time in the local time zone.
LocalTime NowLocal();

}  // namespace platform

#endif  // INKSTONE_PLATFORM_CORE_CLOCK_H_
