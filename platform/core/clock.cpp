#include "platform/core/clock.h"

#include <chrono>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <time.h>
#endif

namespace platform {

uint32_t TickCount() {
  const auto since_start = std::chrono::steady_clock::now().time_since_epoch();
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(since_start).count();
  return static_cast<uint32_t>(static_cast<uint64_t>(ms));
}

void SleepMilliseconds(int32_t milliseconds) {
  if (milliseconds <= 0) {
    std::this_thread::yield();
    return;
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

LocalTime NowLocal() {
  LocalTime result;
#ifdef _WIN32
  SYSTEMTIME now;
  GetLocalTime(&now);
  result.year = now.wYear;
  result.month = now.wMonth;
  result.day = now.wDay;
  result.hour = now.wHour;
  result.minute = now.wMinute;
  result.second = now.wSecond;
  result.millisecond = now.wMilliseconds;
  result.day_of_week = now.wDayOfWeek;
#else
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  tm local{};
  localtime_r(&now.tv_sec, &local);
  result.year = local.tm_year + 1900;
  result.month = local.tm_mon + 1;
  result.day = local.tm_mday;
  result.hour = local.tm_hour;
  result.minute = local.tm_min;
  result.second = local.tm_sec;
  result.millisecond = static_cast<int>(now.tv_nsec / 1000000);
  result.day_of_week = local.tm_wday;
#endif
  return result;
}

}  // namespace platform
