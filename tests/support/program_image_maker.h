// Program images for tests: a test's routine table and compiled form over a library table.
#pragma once

#include <cstdint>

#include "libraries/library_table.h"
#include "runtime/program_image.h"

namespace unit_tests {

// `routines` is the routine table the handler offsets in `block` point into; `library_table`
// holds libraries::kLibraryCount entries (the program's own table, or one with test classes
// added). A test without routines or a compiled form passes null and 0.
inline runtime::ProgramImage MakeImage(const runtime::EventHandler* routines,
                                       const unsigned char* block, int block_size,
                                       const runtime::LibraryInfo* const* library_table) {
  runtime::ProgramImage image;
  image.id_seed = 0x000100F1;
  image.code_base = reinterpret_cast<const uint8_t*>(routines);
  image.template_block = block;
  image.template_block_size = block_size;
  image.library_count = libraries::kLibraryCount;
  image.libraries = library_table;
  return image;
}

}  // namespace unit_tests
