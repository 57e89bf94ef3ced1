#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <utility>

#include "runtime/allocator.h"
#include "runtime/arg_cell.h"
#include "runtime/blocks.h"

namespace runtime {

// Owns one block of the runtime allocator and frees it when it goes, so a routine that
// holds its texts and byte sets in these never leaks one. The gates still see plain block
// pointers: `Arg()` lends the block to a call, `Release()` hands it over for good.
template <typename Block>
class OwnedBlock {
 public:
  OwnedBlock() = default;
  OwnedBlock(OwnedBlock&& other) noexcept : block_(std::exchange(other.block_, nullptr)) {}
  OwnedBlock& operator=(OwnedBlock&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.block_, nullptr));
    return *this;
  }
  OwnedBlock(const OwnedBlock&) = delete;
  OwnedBlock& operator=(const OwnedBlock&) = delete;
  ~OwnedBlock() { FreeBlock(block_); }

  Block* Get() const { return block_; }
  bool IsEmpty() const { return block_ == nullptr; }
  Block* Release() { return std::exchange(block_, nullptr); }
  void Reset(Block* block = nullptr) {
    FreeBlock(block_);
    block_ = block;
  }

 protected:
  explicit OwnedBlock(Block* block) : block_(block) {}

  Block* block_ = nullptr;
};

// A text value: GBK bytes, null when empty.
class Text : public OwnedBlock<char> {
 public:
  Text() = default;
  // A new block holding a copy of `text`.
  explicit Text(std::string_view text) : OwnedBlock(MakeText(text)) {}

  // Takes over a block.
  static Text Adopt(char* block) { return Text(block, 0); }
  // Takes over the text block of a command's result cell.
  static Text FromResult(const ArgCell& result) { return Adopt(result.AsPointer<char>()); }

  std::string_view View() const { return TextOf(block_); }
  // Never null: the empty text is lent as a pointer to a NUL byte, as callers of commands
  // must pass it.
  const char* CStr() const { return block_ != nullptr ? block_ : ""; }
  ArgCell Arg() const { return ArgCell::Text(CStr()); }

 private:
  Text(char* block, int) : OwnedBlock(block) {}
};

// A byte-set value, null when empty.
class ByteSet : public OwnedBlock<uint8_t> {
 public:
  ByteSet() = default;
  // A new block holding a copy of `bytes`.
  explicit ByteSet(std::span<const uint8_t> bytes) : OwnedBlock(MakeByteSet(bytes)) {}

  static ByteSet Adopt(uint8_t* block) { return ByteSet(block, 0); }
  static ByteSet FromResult(const ArgCell& result) { return Adopt(result.AsPointer<uint8_t>()); }

  std::span<const uint8_t> Bytes() const { return ByteSetBytes(block_); }
  ArgCell Arg() const { return ArgCell::ByteSet(block_); }

 private:
  ByteSet(uint8_t* block, int) : OwnedBlock(block) {}
};

}  // namespace runtime
