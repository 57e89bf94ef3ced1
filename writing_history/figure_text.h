#pragma once

#include <cstdint>
#include <string>

namespace writing_history {

// A count with its thousands grouped by commas, as authors read counts: "12,345", "-1,200".
std::string Grouped(int64_t number);

// The desk's line for today, UTF-8: "今日：2,345 / 4,000 字", or "今日：2,345 字" without a
// target.
std::string TodayProgressText(int64_t characters, int64_t target);

}  // namespace writing_history
