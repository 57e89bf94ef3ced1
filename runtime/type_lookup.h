#pragma once

#include "runtime/program_image.h"
#include "runtime/type_code.h"

namespace runtime {

// The data type that `ref` names in the image's library table, or null. Only library
// type codes name a type; `library` receives the library that holds it when asked.
const DataTypeInfo* FindDataType(const ProgramImage& image, TypeRef ref,
                                 const LibraryInfo** library = nullptr);

}  // namespace runtime
