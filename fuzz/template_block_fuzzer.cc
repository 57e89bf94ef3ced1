// libFuzzer target: the window-template block reader and the class data it carries.
#include <cstddef>
#include <cstdint>

#include "fuzz/form_fuzz_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return fuzz::FuzzTemplateBlock(data, size);
}
