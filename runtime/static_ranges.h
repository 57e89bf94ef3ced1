#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace runtime {

// Address ranges of static data (the constant pool). Literal texts, byte sets and arrays
// live there, so a routine may hold them like heap blocks: freeing one does nothing and
// changing one makes a copy first.
class StaticRanges {
 public:
  struct Range {
    uintptr_t start;
    uintptr_t end;  // one past the last byte
  };

  void Add(const void* start, const void* end);
  void Clear() { ranges_.clear(); }
  bool Empty() const { return ranges_.empty(); }

  // The range holding `p` (start <= p < end, compared unsigned), if any.
  std::optional<Range> Find(const void* p) const;
  bool Contains(const void* p) const { return Find(p).has_value(); }

 private:
  std::vector<Range> ranges_;
};

}  // namespace runtime
