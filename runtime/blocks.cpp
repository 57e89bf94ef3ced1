#include "runtime/blocks.h"

#include <cstring>

#include "runtime/allocator.h"

namespace runtime {

namespace {
// n + extra as a block size; a sum past the 32-bit range asks for an impossible size, which
// the allocator reports.
int32_t BlockSize(int32_t n, int32_t extra) {
  return n > INT32_MAX - extra ? -1 : n + extra;
}

void WriteWord(void* block, int32_t word_index, int32_t value) {
  std::memcpy(static_cast<uint8_t*>(block) + 4 * word_index, &value, 4);
}
}  // namespace

char* MakeText(const char* bytes, int32_t n) {
  if (n < 1) return nullptr;
  auto* text = static_cast<char*>(AllocBlock(BlockSize(n, 1)));
  std::memcpy(text, bytes, static_cast<size_t>(n));
  text[n] = '\0';
  return text;
}

char* MakeText(std::string_view text) {
  return MakeText(text.data(), static_cast<int32_t>(text.size()));
}

char* MakeTextZ(const char* text) {
  if (text == nullptr) return nullptr;
  return MakeText(text, static_cast<int32_t>(std::strlen(text)));
}

uint8_t* MakeByteSet(const void* bytes, int32_t n) {
  if (n <= 0) return nullptr;
  auto* block = static_cast<uint8_t*>(AllocBlock(BlockSize(n, kByteSetHeaderSize)));
  WriteWord(block, 0, 1);
  WriteWord(block, 1, n);
  std::memcpy(block + kByteSetHeaderSize, bytes, static_cast<size_t>(n));
  return block;
}

std::span<const uint8_t> ByteSetBytes(const void* block) {
  if (block == nullptr) return {};
  const int32_t n = ReadBlockWord(block, 1);
  if (n <= 0) return {};
  return {static_cast<const uint8_t*>(block) + kByteSetHeaderSize, static_cast<size_t>(n)};
}

int32_t ReadBlockWord(const void* block, int32_t word_index) {
  int32_t value;
  std::memcpy(&value, static_cast<const uint8_t*>(block) + 4 * word_index, 4);
  return value;
}

int32_t ArrayDimensionCount(const void* block) {
  return block == nullptr ? 0 : ReadBlockWord(block, 0);
}

int64_t ArrayElementCount(const void* block) {
  if (block == nullptr) return 0;
  int64_t count = 1;
  for (int32_t i = 0; i < ArrayDimensionCount(block); ++i) count *= ReadBlockWord(block, 1 + i);
  return count;
}

int32_t ArrayHeaderSize(const void* block) { return 4 + 4 * ArrayDimensionCount(block); }

int64_t ArrayBlockSize(const void* block, int32_t element_size) {
  return ArrayHeaderSize(block) + ArrayElementCount(block) * element_size;
}

void* MakeArray(std::span<const int32_t> dimensions, int32_t element_size) {
  int64_t count = 1;
  for (int32_t size : dimensions) count *= size;
  const int64_t header = 4 + 4 * static_cast<int64_t>(dimensions.size());
  const int64_t total = header + count * element_size;
  void* block = AllocBlock(total > INT32_MAX ? -1 : static_cast<int32_t>(total));
  std::memset(block, 0, static_cast<size_t>(total));
  WriteWord(block, 0, static_cast<int32_t>(dimensions.size()));
  for (size_t i = 0; i < dimensions.size(); ++i) {
    WriteWord(block, static_cast<int32_t>(1 + i), dimensions[i]);
  }
  return block;
}

}  // namespace runtime
