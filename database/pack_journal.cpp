#include "database/pack_journal.h"

#include <cstring>
#include <vector>

#include "database/error_codes.h"
#include "database/le_bytes.h"
#include "database/main_file.h"
#include "platform/core/file_system.h"

namespace database {
namespace {

constexpr char kJournalMagic[8] = {'W', 'E', 'D', 'B', 'P', 'A', 'C', 'K'};
constexpr int64_t kCopyChunk = 1 << 20;

void StoreU64(uint8_t* bytes, uint64_t value) {
  for (int i = 0; i < 8; ++i) bytes[i] = static_cast<uint8_t>(value >> (8 * i));
}
uint64_t LoadU64(const uint8_t* bytes) {
  uint64_t value = 0;
  for (int i = 0; i < 8; ++i) value |= uint64_t{bytes[i]} << (8 * i);
  return value;
}

}  // namespace

std::string PackJournalPath(std::string_view main_gbk_path) {
  return std::string(main_gbk_path) + ".pack";
}

uint64_t Fnv1a64(const void* data, size_t size, uint64_t hash) {
  const auto* bytes = static_cast<const uint8_t*>(data);
  for (size_t i = 0; i < size; ++i) {
    hash ^= bytes[i];
    hash *= 0x100000001b3ull;
  }
  return hash;
}

int32_t PackJournalWriter::Create(std::string_view journal_gbk_path) {
  platform::FileResult created =
      platform::File::Open(journal_gbk_path, platform::FileAccess::kReadWrite,
                           platform::ShareMode::kExclusive, platform::Disposition::kCreateAlways);
  if (!created.ok()) return FileErrorCode(created.error);
  file_ = std::move(*created.file);
  written_ = 0;
  checksum_ = 0xcbf29ce484222325ull;
  return code::kOk;
}

int32_t PackJournalWriter::Append(const uint8_t* records, int64_t bytes) {
  if (file_.WriteAt(kJournalHeaderSize + written_, records, bytes) != bytes) {
    return code::kWriteRecordFailed;
  }
  written_ += bytes;
  checksum_ = Fnv1a64(records, static_cast<size_t>(bytes), checksum_);
  return code::kOk;
}

int32_t PackJournalWriter::Commit(int32_t record_size, int32_t data_offset, int32_t record_count,
                                  int32_t next_id) {
  uint8_t header[kJournalHeaderSize] = {};
  std::memcpy(header, kJournalMagic, 8);
  StoreI32(header + 8, record_size);
  StoreI32(header + 12, data_offset);
  StoreI32(header + 16, record_count);
  StoreI32(header + 20, next_id);
  StoreU64(header + 24, checksum_);
  StoreU64(header + 32, Fnv1a64(header, 32));
  // The records must be on the device before the header that declares them whole.
  if (!file_.Flush()) return code::kWriteRecordFailed;
  if (file_.WriteAt(0, header, kJournalHeaderSize) != kJournalHeaderSize) {
    return code::kWriteRecordFailed;
  }
  return file_.Flush() ? code::kOk : code::kWriteRecordFailed;
}

JournalState InspectPackJournal(std::string_view journal_gbk_path, JournalHeader* header) {
  if (!platform::FileExists(journal_gbk_path)) return JournalState::kNone;
  platform::FileResult opened =
      platform::File::Open(journal_gbk_path, platform::FileAccess::kRead,
                           platform::ShareMode::kDenyNone, platform::Disposition::kOpenExisting);
  if (!opened.ok()) return JournalState::kUnreadable;
  platform::File& file = *opened.file;
  // Only what was read whole can prove the journal incomplete; a read the system refused
  // proves nothing, and the journal may be the only whole copy of the records.
  uint8_t bytes[kJournalHeaderSize];
  const int64_t header_read = file.ReadAt(0, bytes, kJournalHeaderSize);
  if (header_read < 0) return JournalState::kUnreadable;
  if (header_read != kJournalHeaderSize || std::memcmp(bytes, kJournalMagic, 8) != 0 ||
      LoadU64(bytes + 32) != Fnv1a64(bytes, 32)) {
    return JournalState::kIncomplete;
  }
  header->record_size = LoadI32(bytes + 8);
  header->data_offset = LoadI32(bytes + 12);
  header->record_count = LoadI32(bytes + 16);
  header->next_id = LoadI32(bytes + 20);
  if (header->record_size <= 0 || header->record_count < 0 || header->data_offset < kFieldsOffset) {
    return JournalState::kIncomplete;
  }
  const int64_t payload = int64_t{header->record_count} * header->record_size;
  const int64_t size = file.Size();
  if (size < 0) return JournalState::kUnreadable;
  if (size != kJournalHeaderSize + payload) return JournalState::kIncomplete;
  uint64_t checksum = 0xcbf29ce484222325ull;
  std::vector<uint8_t> chunk;
  for (int64_t done = 0; done < payload;) {
    const int64_t n = std::min(kCopyChunk, payload - done);
    chunk.resize(static_cast<size_t>(n));
    const int64_t read = file.ReadAt(kJournalHeaderSize + done, chunk.data(), n);
    if (read < 0) return JournalState::kUnreadable;
    if (read != n) return JournalState::kIncomplete;
    checksum = Fnv1a64(chunk.data(), chunk.size(), checksum);
    done += n;
  }
  return checksum == LoadU64(bytes + 24) ? JournalState::kComplete : JournalState::kIncomplete;
}

int32_t ReplayPackJournal(std::string_view journal_gbk_path, platform::File& main_file) {
  JournalHeader header;
  const JournalState state = InspectPackJournal(journal_gbk_path, &header);
  if (state == JournalState::kNone) return code::kOk;
  if (state == JournalState::kUnreadable) return code::kPackJournalUnreadable;
  if (state == JournalState::kIncomplete) {
    // The main file was not touched before the journal was whole.
    return platform::DeleteFile(journal_gbk_path) ? code::kOk : code::kOpenFailed;
  }
  // The journal must describe this main file.
  uint8_t words[kHeaderSize + 4];
  if (main_file.ReadAt(0, words, sizeof words) != static_cast<int64_t>(sizeof words) ||
      LoadI32(words + 24) != header.record_size ||
      kFieldsOffset + int64_t{LoadI32(words + kFieldCountOffset)} * kFieldDefinitionSize !=
          header.data_offset) {
    return code::kOpenFailed;
  }
  platform::FileResult opened =
      platform::File::Open(journal_gbk_path, platform::FileAccess::kRead,
                           platform::ShareMode::kDenyNone, platform::Disposition::kOpenExisting);
  if (!opened.ok()) return code::kPackJournalUnreadable;
  const int64_t payload = int64_t{header.record_count} * header.record_size;
  std::vector<uint8_t> chunk;
  for (int64_t done = 0; done < payload;) {
    const int64_t n = std::min(kCopyChunk, payload - done);
    chunk.resize(static_cast<size_t>(n));
    // The journal stays until the main file is whole again: a failure here is retried by
    // the next open.
    if (opened.file->ReadAt(kJournalHeaderSize + done, chunk.data(), n) != n) {
      return code::kPackJournalUnreadable;
    }
    if (main_file.WriteAt(header.data_offset + done, chunk.data(), n) != n) {
      return code::kWriteRecordFailed;
    }
    done += n;
  }
  int32_t result = WriteCounts(main_file, header.record_count, header.next_id);
  if (result != code::kOk) return result;
  if (!main_file.Truncate(header.data_offset + payload) || !main_file.Flush()) {
    return code::kWriteRecordFailed;
  }
  opened.file->Close();
  return platform::DeleteFile(journal_gbk_path) ? code::kOk : code::kOpenFailed;
}

}  // namespace database
