#include "chapter_history/thinning.h"

#include <cstddef>
#include <cstdint>

namespace chapter_history {

namespace {

int64_t FloorDivide(int64_t value, int64_t by) {
  const int64_t quotient = value / by;
  return (value % by != 0 && (value < 0) != (by < 0)) ? quotient - 1 : quotient;
}

constexpr int64_t kAlwaysKept = INT64_MIN;

// The hour or day a version falls in, by its age; kAlwaysKept for a version kept whatever its
// bucket. Hours are numbered from 2^40 on, so an hour's number never meets a day's.
int64_t BucketOf(int64_t time, int64_t now, int64_t utc_offset_seconds) {
  const int64_t age = now - time;
  if (age < kKeepEverySeconds) return kAlwaysKept;
  const int64_t local = time + utc_offset_seconds;
  if (age < kKeepHourlySeconds) return FloorDivide(local, 3600) + (int64_t{1} << 40);
  return FloorDivide(local, 86400);
}

}  // namespace

std::vector<bool> VersionsToKeep(const std::vector<int64_t>& times, int64_t now,
                                 int64_t utc_offset_seconds) {
  std::vector<bool> keep(times.size(), true);
  // Walking from the newest: a version is dropped when a newer one shares its bucket.
  for (size_t i = times.size(); i-- > 1;) {
    const int64_t newer = BucketOf(times[i], now, utc_offset_seconds);
    const int64_t older = BucketOf(times[i - 1], now, utc_offset_seconds);
    if (older != kAlwaysKept && older == newer) keep[i - 1] = false;
  }
  return keep;
}

}  // namespace chapter_history
