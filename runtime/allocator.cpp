#include "runtime/allocator.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "runtime/error_report.h"
#include "runtime/runtime_state.h"

namespace runtime {

namespace {
// malloc may answer 0 bytes with null; a block always has a distinct address.
size_t HeapSize(int32_t byte_count) { return std::max<size_t>(static_cast<size_t>(byte_count), 1); }
}  // namespace

void* TryAllocBlock(int32_t byte_count) {
  if (byte_count < 0) return nullptr;
  return std::malloc(HeapSize(byte_count));
}

void* AllocBlock(int32_t byte_count) {
  void* block = TryAllocBlock(byte_count);
  if (block == nullptr) ReportError(error_text::AllocationFailed(byte_count));
  return block;
}

void* ReallocBlock(void* block, int32_t byte_count) {
  if (block == nullptr) return AllocBlock(byte_count);
  if (auto range = Runtime().static_ranges.Find(block)) {
    void* copy = AllocBlock(byte_count);
    const uintptr_t available = range->end - reinterpret_cast<uintptr_t>(block);
    std::memcpy(copy, block, std::min<uintptr_t>(static_cast<uintptr_t>(byte_count), available));
    return copy;
  }
  void* resized = byte_count < 0 ? nullptr : std::realloc(block, HeapSize(byte_count));
  if (resized == nullptr) ReportError(error_text::AllocationFailed(byte_count));
  return resized;
}

void FreeBlock(void* block) {
  if (block == nullptr || Runtime().static_ranges.Contains(block)) return;
  std::free(block);
}

}  // namespace runtime
