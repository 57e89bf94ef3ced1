#pragma once

#include <cstdint>

#include "runtime/program_image.h"
#include "runtime/type_code.h"

namespace runtime {

// Gate 12: runtime service `service` with its own arguments (unused ones 0).
intptr_t RuntimeService(int32_t service, intptr_t a1 = 0, intptr_t a2 = 0, intptr_t a3 = 0,
                        intptr_t a4 = 0, intptr_t a5 = 0, intptr_t a6 = 0);

// The services, callable directly:

// Service 0, one step of a file search. A non-empty GBK pattern closes any open search in
// `*handle` and starts a new one; an empty pattern continues it. Entries are skipped until
// one matches: with `any_file` every entry that is not a directory, else an entry whose
// attributes share a bit with `attribute_mask & 0x37` (a mask of 0 accepts only entries
// without attributes). Returns a new text block with the entry's name, or null when
// nothing more matches; the handle is then closed and cleared.
char* FindFileStep(const char* pattern, int32_t attribute_mask, bool any_file, intptr_t* handle);
// Service 1.
void CloseFileSearch(intptr_t handle);
// Service 2: an array inside a static range is replaced by a heap copy of its whole block.
void MakeArrayWritable(int32_t element_size, void** array);
// Service 3.
void RegisterEndRoutine(Routine routine);
// Service 4, the array operation: gives `*array` new dimensions, all elements zero (the
// blocks of text and byte-set elements of the old array are freed). The sizes must be
// above 0, or a single size at least 0; else runtime error 10.
void RedefineArray(TypeCode element_type, void** array, int32_t dimension_count,
                   const int32_t* dimensions);

}  // namespace runtime
