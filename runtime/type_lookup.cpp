#include "runtime/type_lookup.h"

namespace runtime {

const DataTypeInfo* FindDataType(const ProgramImage& image, TypeRef ref,
                                 const LibraryInfo** library) {
  if (ClassifyTypeCode(ref) != TypeClass::kLibrary) return nullptr;
  const int32_t library_index = static_cast<int32_t>(ref >> 16) - 1;
  const int32_t type_index = static_cast<int32_t>(ref & 0xFFFF) - 1;
  if (library_index < 0 || library_index >= image.library_count || type_index < 0) return nullptr;
  const LibraryInfo* info = image.libraries[library_index];
  if (info == nullptr || type_index >= info->data_type_count) return nullptr;
  if (library != nullptr) *library = info;
  return &info->data_types[type_index];
}

}  // namespace runtime
