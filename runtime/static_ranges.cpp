#include "runtime/static_ranges.h"

namespace runtime {

void StaticRanges::Add(const void* start, const void* end) {
  ranges_.push_back({reinterpret_cast<uintptr_t>(start), reinterpret_cast<uintptr_t>(end)});
}

std::optional<StaticRanges::Range> StaticRanges::Find(const void* p) const {
  const auto address = reinterpret_cast<uintptr_t>(p);
  for (const Range& range : ranges_) {
    if (range.start <= address && address < range.end) return range;
  }
  return std::nullopt;
}

}  // namespace runtime
