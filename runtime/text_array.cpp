#include "runtime/text_array.h"

#include <cstring>

#include "runtime/allocator.h"
#include "runtime/blocks.h"

namespace runtime {

TextArray::TextArray(std::vector<Text> texts, std::vector<int32_t> dimensions)
    : count_(texts.size()) {
  if (dimensions.empty()) dimensions = {static_cast<int32_t>(texts.size())};
  block_ = MakeArray(dimensions, sizeof(char*));
  for (size_t i = 0; i < count_; ++i) {
    char* element = texts[i].Release();
    std::memcpy(Element(i), &element, sizeof element);
  }
}

TextArray::~TextArray() {
  for (size_t i = 0; i < count_; ++i) {
    char* element;
    std::memcpy(&element, Element(i), sizeof element);
    FreeBlock(element);
  }
  FreeBlock(block_);
}

uint8_t* TextArray::Element(size_t i) const {
  return static_cast<uint8_t*>(block_) + ArrayHeaderSize(block_) + i * sizeof(char*);
}

}  // namespace runtime
