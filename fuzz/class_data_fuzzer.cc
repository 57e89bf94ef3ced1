// libFuzzer target: the class-data readers of every linked unit class.
#include <cstddef>
#include <cstdint>

#include "fuzz/form_fuzz_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return fuzz::FuzzClassData(data, size);
}
