#include "platform/core/clock.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(Clock, TickCountAdvancesWithSleep) {
  const uint32_t start = TickCount();
  uint32_t previous = start;
  for (int i = 0; i < 1000; ++i) {
    const uint32_t now = TickCount();
    EXPECT_LT(now - previous, 0x80000000u);  // never steps back
    previous = now;
  }
  SleepMilliseconds(30);
  EXPECT_GE(TickCount() - start, 30u);
}

TEST(Clock, NowLocalIsPlausible) {
  const LocalTime now = NowLocal();
  EXPECT_GE(now.year, 2024);
  const struct {
    int value, low, high;
  } fields[] = {{now.month, 1, 12},     {now.day, 1, 31},    {now.hour, 0, 23},
                {now.minute, 0, 59},    {now.second, 0, 60}, {now.millisecond, 0, 999},
                {now.day_of_week, 0, 6}};
  for (const auto& field : fields) {
    EXPECT_GE(field.value, field.low);
    EXPECT_LE(field.value, field.high);
  }
  // The day of the week agrees with the date (Sakamoto's method).
  static const int offsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
  const int y = now.year - (now.month < 3 ? 1 : 0);
  EXPECT_EQ((y + y / 4 - y / 100 + y / 400 + offsets[now.month - 1] + now.day) % 7,
            now.day_of_week);
}

}  // namespace
}  // namespace platform
