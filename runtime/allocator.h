#pragma once

#include <cstdint>

namespace runtime {

// The one allocator behind every text, byte-set and array block. Exhausted memory is a
// runtime error ("分配 n 字节内存失败!"), never a null result.

// Gate 6: `byte_count` bytes, not zeroed.
void* AllocBlock(int32_t byte_count);

// Gate 7: null behaves as AllocBlock. A block inside a static range is never resized in
// place: a new block is made and the smaller of the new size and the distance to the end
// of the range is copied into it.
void* ReallocBlock(void* block, int32_t byte_count);

// Gate 8: null and blocks inside a static range are left alone.
void FreeBlock(void* block);

// As AllocBlock, but returns null instead of reporting a failure.
void* TryAllocBlock(int32_t byte_count);

}  // namespace runtime
