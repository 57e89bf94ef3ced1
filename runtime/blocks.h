#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace runtime {

// Layouts of the block-valued types (all from the runtime allocator):
//
//   text block      the GBK bytes, then one NUL. The empty text is null.
//   byte-set block  offset 0: int32 1 (one dimension)
//                   offset 4: int32 n, the byte count (at least 1)
//                   offset 8: the n bytes. The empty byte set is null.
//   array block     offset 0: int32 d, the dimension count
//                   offset 4: d int32 dimension sizes
//                   then the elements in row-major order, each of its type's payload size
//                   (a text or byte-set element is a block pointer).
//
// Blocks may lie unaligned in the constant pool, so their words are read with memcpy.

inline constexpr int32_t kByteSetHeaderSize = 8;

// A text of `n` bytes; n < 1 gives null.
char* MakeText(const char* bytes, int32_t n);
char* MakeText(std::string_view text);
// A text from a NUL-terminated string; null or empty gives null.
char* MakeTextZ(const char* text);

// A byte set of `n` bytes; n = 0 gives null.
uint8_t* MakeByteSet(const void* bytes, int32_t n);
inline uint8_t* MakeByteSet(std::span<const uint8_t> bytes) {
  return MakeByteSet(bytes.data(), static_cast<int32_t>(bytes.size()));
}

// The bytes of a byte-set block (empty for null).
std::span<const uint8_t> ByteSetBytes(const void* block);

// The text of a text block (empty for null).
inline std::string_view TextOf(const char* block) {
  return block == nullptr ? std::string_view() : std::string_view(block);
}

// Array blocks.
int32_t ReadBlockWord(const void* block, int32_t word_index);
int32_t ArrayDimensionCount(const void* block);
// The product of the dimension sizes (1 for no dimensions); 0 for null.
int64_t ArrayElementCount(const void* block);
// Bytes before the first element.
int32_t ArrayHeaderSize(const void* block);
// Whole block size for elements of `element_size` bytes.
int64_t ArrayBlockSize(const void* block, int32_t element_size);
// A new zeroed array block with these dimension sizes.
void* MakeArray(std::span<const int32_t> dimensions, int32_t element_size);

}  // namespace runtime
