#pragma once

#include <cstdint>
#include <vector>

// Which versions of a chapter are worth keeping as they age: every one for two days, then the
// last of each hour for two weeks, then the last of each day; the chapter's newest always.
namespace chapter_history {

inline constexpr int64_t kKeepEverySeconds = 2 * 86400;
inline constexpr int64_t kKeepHourlySeconds = 14 * 86400;

// For the times of one chapter's versions (seconds since 1970 UTC, oldest first), whether each
// is kept at `now`. Hours and days are counted on the local clock (`utc_offset_seconds` east
// of UTC).
std::vector<bool> VersionsToKeep(const std::vector<int64_t>& times, int64_t now,
                                 int64_t utc_offset_seconds);

}  // namespace chapter_history
