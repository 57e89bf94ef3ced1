#include "runtime/services.h"

#include <cstring>
#include <memory>
#include <span>
#include <utility>

#include "platform/core/file_search.h"
#include "runtime/allocator.h"
#include "runtime/blocks.h"
#include "runtime/error_report.h"
#include "runtime/runtime_state.h"
#include "runtime/startup.h"

namespace runtime {

namespace {

constexpr uint32_t kDirectoryAttribute = 0x10;
constexpr uint32_t kSearchableAttributes = 0x37;

bool Matches(const platform::FoundEntry& entry, uint32_t mask, bool any_file) {
  if (any_file) return (entry.attributes & kDirectoryAttribute) == 0;
  const uint32_t wanted = mask & kSearchableAttributes;
  if (wanted == 0) return (entry.attributes & kSearchableAttributes) == 0;
  return (entry.attributes & wanted) != 0;
}

bool HoldsBlocks(TypeCode element_type) {
  return element_type == kText || element_type == kByteSet;
}

}  // namespace

char* FindFileStep(const char* pattern, int32_t attribute_mask, bool any_file, intptr_t* handle) {
  auto* search = reinterpret_cast<platform::FileSearch*>(*handle);
  if (pattern != nullptr && *pattern != '\0') {
    delete search;
    search = new platform::FileSearch;
    *handle = reinterpret_cast<intptr_t>(search);
    if (!search->Start(pattern)) {
      CloseFileSearch(std::exchange(*handle, 0));
      return nullptr;
    }
  }
  if (search == nullptr) return nullptr;
  while (auto entry = search->Next()) {
    if (Matches(*entry, static_cast<uint32_t>(attribute_mask), any_file)) {
      return MakeText(entry->name);
    }
  }
  CloseFileSearch(std::exchange(*handle, 0));
  return nullptr;
}

void CloseFileSearch(intptr_t handle) { delete reinterpret_cast<platform::FileSearch*>(handle); }

void MakeArrayWritable(int32_t element_size, void** array) {
  if (*array == nullptr || !Runtime().static_ranges.Contains(*array)) return;
  const int64_t size = ArrayBlockSize(*array, element_size);
  void* copy = AllocBlock(size > INT32_MAX ? -1 : static_cast<int32_t>(size));
  std::memcpy(copy, *array, static_cast<size_t>(size));
  *array = copy;
}

void RegisterEndRoutine(Routine routine) { Runtime().end_routine = routine; }

void RedefineArray(TypeCode element_type, void** array, int32_t dimension_count,
                   const int32_t* dimensions) {
  const std::span<const int32_t> sizes(dimensions, dimension_count > 0 ? dimension_count : 0);
  bool valid = dimension_count > 0;
  for (int32_t size : sizes) valid = valid && (size > 0 || (size == 0 && dimension_count == 1));
  if (!valid) ReportRuntimeError(10);

  void* old = *array;
  if (old != nullptr && HoldsBlocks(element_type) && !Runtime().static_ranges.Contains(old)) {
    auto* elements = static_cast<uint8_t*>(old) + ArrayHeaderSize(old);
    for (int64_t i = 0; i < ArrayElementCount(old); ++i) {
      void* element;
      std::memcpy(&element, elements + i * sizeof(void*), sizeof(void*));
      FreeBlock(element);
    }
  }
  FreeBlock(old);
  *array = MakeArray(sizes, PayloadSize(element_type));
}

intptr_t RuntimeService(int32_t service, intptr_t a1, intptr_t a2, intptr_t a3, intptr_t a4,
                        intptr_t a5, intptr_t a6) {
  switch (service) {
    case 0:
      return reinterpret_cast<intptr_t>(FindFileStep(reinterpret_cast<const char*>(a1),
                                                     static_cast<int32_t>(a2), a3 != 0,
                                                     reinterpret_cast<intptr_t*>(a4)));
    case 1: CloseFileSearch(a1); return 0;
    case 2: MakeArrayWritable(static_cast<int32_t>(a1), reinterpret_cast<void**>(a2)); return 0;
    case 3: RegisterEndRoutine(reinterpret_cast<Routine>(a1)); return 0;
    case 4:
      RedefineArray(static_cast<TypeCode>(a1), reinterpret_cast<void**>(a2),
                    static_cast<int32_t>(a3), reinterpret_cast<const int32_t*>(a4));
      return 0;
    case 5: {
      FormsHost* forms = Runtime().forms;
      if (forms == nullptr) ReportError(error_text::UnitNotFound());
      const intptr_t values[6] = {a1, a2, a3, a4, a5, a6};
      return forms->CallUnitMethod(values);
    }
    case 6: InitializeRuntime(); return 0;
    default: return 0;
  }
}

}  // namespace runtime
