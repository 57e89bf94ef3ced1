#pragma once

#include <cstddef>
#include <cstdint>

namespace fuzz {

// One fuzz input for the database readers: three files in one buffer.
//   offset 0   4   length m of the main file's bytes
//   offset 4   4   length e of the memo file's bytes
//   offset 8   m   main file, then e bytes of memo file, then the rest: an index file
// The files are written to a private folder and opened (for writing, so that the repairs
// run too) with the index; every field of every record is read, the index tree walked and
// the checker run. Nothing may crash or trip a sanitizer.
int FuzzDatabaseFiles(const uint8_t* data, size_t size);

// Packs three files into one input.
void PackDatabaseFiles(const uint8_t* main, size_t main_size, const uint8_t* memo, size_t memo_size,
                       const uint8_t* index, size_t index_size,
                       uint8_t* out /* 8 + sum of the sizes */);

}  // namespace fuzz
