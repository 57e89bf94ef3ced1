#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "runtime/arg_cell.h"
#include "runtime/owned_blocks.h"

namespace runtime {

// An array block of texts, freed with its texts: how a routine hands a command many texts in
// one call (a list's items, say).
class TextArray {
 public:
  // Takes over `texts`; one dimension of their count unless `dimensions` says otherwise
  // (whose product must then be their count).
  explicit TextArray(std::vector<Text> texts, std::vector<int32_t> dimensions = {});
  ~TextArray();
  TextArray(const TextArray&) = delete;
  TextArray& operator=(const TextArray&) = delete;

  ArgCell Arg() const { return ArgCell::Pointer(kText | kArrayFlag, block_); }

 private:
  // Elements of an array block need not be aligned: they are copied in and out.
  uint8_t* Element(size_t i) const;

  void* block_;
  size_t count_;
};

}  // namespace runtime
