#pragma once

#include <cstddef>
#include <cstdint>

namespace fuzz {

// One fuzz input for a unit class's class-data reader: the first four bytes are the class's
// TypeRef (little-endian; an unknown one reads nothing), the rest is its class data.
// Whatever the reader accepts must go through the readable-form codec and back to the same
// fields, and through the text visit; nothing may crash or trip a sanitizer.
int FuzzClassData(const uint8_t* data, size_t size);

// One fuzz input for the window-template block reader: the whole block. A block that reads
// must write back to a block that reads the same, and the class data of every unit in it
// goes through its class's reader as above.
int FuzzTemplateBlock(const uint8_t* data, size_t size);

}  // namespace fuzz
