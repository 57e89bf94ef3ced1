// Packing: removing the records marked deleted.
//
// The kept records go to the pack journal first (pack_journal.h); only when it is whole and
// flushed is the main file rewritten from it. The memo chains of the removed records are
// released last, after the journal is gone: a crash before that only leaks their blocks,
// whereas releasing them earlier and then undoing the pack would leave records naming free
// blocks.

#include <algorithm>
#include <cstring>

#include "database/database.h"
#include "database/error_codes.h"
#include "database/le_bytes.h"
#include "database/pack_journal.h"
#include "platform/core/file_system.h"

namespace database {

int32_t Database::Pack() {
  if (!main_.IsOpen()) return code::kNoDatabase;
  if (const int32_t in_place = CheckFilesInPlace(); in_place != code::kOk) return in_place;
  const RememberMainFileAtTheEnd remember{*this};
  // The pack rewrites the counts, also when it fails half way: they are read again after it.
  kept_counts_.reset();
  struct ForgetCountsAtTheEnd {
    std::optional<std::pair<int32_t, int32_t>>& counts;
    ~ForgetCountsAtTheEnd() { counts.reset(); }
  } forget{kept_counts_};
  WholeFileLockGuard whole(locks_, LockWait());
  if (whole.result() != code::kOk) return whole.result();
  int32_t count = 0;
  int32_t next_id = 0;
  if (ReadCounts(main_, &count, &next_id) != code::kOk) return code::kRecordCountFailed;
  count = std::max(count, 0);

  const int32_t size = record_size();
  const int32_t batch = std::max(1, 163840 / size);
  const std::string journal_path = PackJournalPath(full_path_);
  PackJournalWriter journal;
  std::vector<BlockNumber> released_chains;
  std::vector<uint8_t> buffer;
  int32_t kept = 0;
  bool journal_created = false;
  for (int32_t first = 0; first < count; first += batch) {
    const int32_t n = std::min(batch, count - first);
    const int64_t bytes = int64_t{n} * size;
    buffer.resize(static_cast<size_t>(bytes));
    if (main_.ReadAt(layout_.RecordPosition(first), buffer.data(), bytes) != bytes) {
      return code::kReadRecordFailed;
    }
    // Removed records are squeezed out of the batch; their memo chains are remembered.
    int32_t batch_kept = 0;
    for (int32_t i = 0; i < n; ++i) {
      uint8_t* record = buffer.data() + int64_t{i} * size;
      if (LoadI32(record) < 0) {
        for (const FieldDefinition& field : layout_.fields) {
          const BlockNumber chain = field.IsMemo() ? LoadI32(record + field.offset) : 0;
          if (chain != 0) released_chains.push_back(chain);
        }
        continue;
      }
      if (batch_kept != i) {
        std::memmove(buffer.data() + int64_t{batch_kept} * size, record, static_cast<size_t>(size));
      }
      ++batch_kept;
    }
    if (batch_kept == n && !journal_created && kept == first) {
      kept += n;  // nothing removed so far: the records stay where they are
      continue;
    }
    if (!journal_created) {
      int32_t result = journal.Create(journal_path);
      if (result != code::kOk) return result;
      journal_created = true;
      // The unchanged records before this batch go to the journal too: it holds them all.
      std::vector<uint8_t> head;
      for (int32_t done = 0; done < kept;) {
        const int32_t m = std::min(batch, kept - done);
        const int64_t head_bytes = int64_t{m} * size;
        head.resize(static_cast<size_t>(head_bytes));
        if (main_.ReadAt(layout_.RecordPosition(done), head.data(), head_bytes) != head_bytes) {
          return code::kReadRecordFailed;
        }
        if ((result = journal.Append(head.data(), head_bytes)) != code::kOk) return result;
        done += m;
      }
    }
    const int32_t result = journal.Append(buffer.data(), int64_t{batch_kept} * size);
    if (result != code::kOk) return result;
    kept += batch_kept;
  }

  int32_t result = code::kOk;
  if (journal_created) {
    result = journal.Commit(size, layout_.data_offset, kept, next_id);
    journal.file().Close();
    if (result == code::kOk) result = ReplayPackJournal(journal_path, main_);
    if (result != code::kOk) return result;
    const int32_t rebuilt = RebuildIndexes();
    if (rebuilt != code::kOk) result = rebuilt;
    for (BlockNumber chain : released_chains) {
      const int32_t released = memo_ != nullptr ? memo_->ReleaseChain(chain) : code::kOk;
      if (released != code::kOk) result = released;
    }
  }
  record_pointer_ = 0;
  return result;
}

}  // namespace database
