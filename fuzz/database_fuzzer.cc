// libFuzzer target: arbitrary main, memo and index file bytes for the database readers.
#include <cstddef>
#include <cstdint>

#include "fuzz/database_fuzz_entry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return fuzz::FuzzDatabaseFiles(data, size);
}
