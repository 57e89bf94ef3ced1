#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/core/file.h"

// Packing rewrites the records of the main file in place, which a crash could leave half
// done (a record lost or there twice). So the kept records are first written to a journal
// beside the main file, "<main file>.pack", and flushed; only then is the main file
// rewritten from it; the journal is deleted once the main file is flushed. The next open for
// writing finds a complete journal and finishes the pack from it (replaying it is harmless
// however often it is repeated); an incomplete journal means the main file was not touched
// yet, and it is simply deleted. Only a journal read whole and found short or with a wrong
// checksum counts as incomplete: one the system fails to read is left alone and the open
// refused (kPackJournalUnreadable), as it may hold the only whole copy of the records.
//
//   PackJournal
//   0    8   magic "WEDBPACK"
//   8    4   record size
//   12   4   data offset of the main file
//   16   4   kept record count
//   20   4   next record id of the main file (unchanged by packing)
//   24   8   FNV-1a 64 of the kept records
//   32   8   FNV-1a 64 of bytes 0 … 31
//   40   …   the kept records, back to back
// The header is written after the records, so a journal with a valid header is whole.

namespace database {

inline constexpr int32_t kJournalHeaderSize = 40;

std::string PackJournalPath(std::string_view main_gbk_path);

uint64_t Fnv1a64(const void* data, size_t size, uint64_t hash = 0xcbf29ce484222325ull);

// Writes journals. Usage: Create, Append the kept records in order, Commit.
class PackJournalWriter {
 public:
  int32_t Create(std::string_view journal_gbk_path);
  int32_t Append(const uint8_t* records, int64_t bytes);
  // Writes the header and flushes the journal to the device.
  int32_t Commit(int32_t record_size, int32_t data_offset, int32_t record_count, int32_t next_id);
  platform::File& file() { return file_; }

 private:
  platform::File file_;
  int64_t written_ = 0;
  uint64_t checksum_ = 0xcbf29ce484222325ull;
};

enum class JournalState {
  kNone,
  kIncomplete,  // cut short before it was whole: the main file is untouched
  kComplete,
  kUnreadable,  // there, but cannot be read now: nothing may be decided
};

struct JournalHeader {
  int32_t record_size = 0;
  int32_t data_offset = 0;
  int32_t record_count = 0;
  int32_t next_id = 0;
};

// Looks at the journal of a main file: none, incomplete (to be deleted), complete, or
// unreadable (it could not be opened, or a read of it failed).
JournalState InspectPackJournal(std::string_view journal_gbk_path, JournalHeader* header);

// Finishes an interrupted pack from a complete journal: the kept records are written over
// the main file's records, the count written, the file cut and flushed, and the journal
// deleted. An incomplete journal is deleted; an unreadable one fails it with
// kPackJournalUnreadable and stays. Requires: the main file is open for writing and locked as a
// whole.
int32_t ReplayPackJournal(std::string_view journal_gbk_path, platform::File& main_file);

}  // namespace database
