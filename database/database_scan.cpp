// Scans of the database engine: updating and marking records.

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>

#include "commands/numeric_conversion.h"
#include "database/database.h"
#include "database/error_codes.h"
#include "database/le_bytes.h"
#include "runtime/allocator.h"
#include "runtime/blocks.h"
#include "runtime/cell_values.h"

namespace database {
namespace {

constexpr int32_t kBatchBytes = 163840;

// A sub-statement's result belongs to whoever evaluates it: this frees its block.
class EvaluatedValue {
 public:
  explicit EvaluatedValue(const runtime::ArgCell& cell) {
    if (cell.type == runtime::kSubStatement) {
      const auto* statement = cell.AsPointer<const runtime::SubStatement>();
      value_ = statement->code(statement->frame);
      owned_ = value_.type == runtime::kText || value_.type == runtime::kByteSet;
    } else {
      value_ = cell;
    }
  }
  ~EvaluatedValue() {
    if (owned_) runtime::FreeBlock(value_.AsPointer<void>());
  }
  EvaluatedValue(const EvaluatedValue&) = delete;
  EvaluatedValue& operator=(const EvaluatedValue&) = delete;
  const runtime::ArgCell& cell() const { return value_; }

 private:
  runtime::ArgCell value_;
  bool owned_ = false;
};

bool FitsField(const FieldDefinition& field, const runtime::ArgCell& value) {
  return value.type == FieldValueType(field.type) ||
         (field.IsNumeric() && runtime::IsNumericType(value.type));
}

}  // namespace

template <typename Handle>
int32_t Database::Scan(const runtime::ArgCell* condition, bool set_evaluation, Handle&& handle) {
  const int32_t saved_pointer = record_pointer_;
  const int32_t size = record_size();
  int32_t result = code::kOk;
  if (condition == nullptr) {
    if (record_pointer_ < 0) return code::kNoCurrentRecord;
    ByteLockGuard record_lock(locks_, RecordLockOffset(record_pointer_), LockWait());
    if (record_lock.result() != code::kOk) return record_lock.result();
    // A record at or past the end of the file reads nothing.
    std::vector<uint8_t> image(static_cast<size_t>(size));
    const int64_t read = ReadRecordBytes(record_pointer_, 0, image.data(), size);
    if (read == 0) return code::kNoCurrentRecord;
    if (read != size) return code::kReadRecordFailed;
    if (set_evaluation) evaluation_record_ = image.data();
    result = handle(record_pointer_, image.data());
    evaluation_record_ = nullptr;
    record_pointer_ = saved_pointer;
    return result;
  }

  WholeFileLockGuard whole(locks_, LockWait());
  if (whole.result() != code::kOk) return whole.result();
  int32_t count = 0;
  int32_t next_id = 0;
  if (ReadCounts(main_, &count, &next_id) != code::kOk) return code::kRecordCountFailed;
  const int32_t batch = std::max(1, kBatchBytes / size);
  std::vector<uint8_t> buffer;
  record_pointer_ = 0;
  for (int32_t first = 0; first < count && result == code::kOk; first += batch) {
    const int32_t n = std::min(batch, count - first);
    const int64_t bytes = int64_t{n} * size;
    buffer.resize(static_cast<size_t>(bytes));
    if (main_.ReadAt(layout_.RecordPosition(first), buffer.data(), bytes) != bytes) {
      result = code::kReadRecordFailed;
      break;
    }
    for (int32_t i = 0; i < n && result == code::kOk; ++i) {
      uint8_t* image = buffer.data() + int64_t{i} * size;
      record_pointer_ = first + i;
      evaluation_record_ = image;
      if (runtime::CellToCondition(*condition)) result = handle(first + i, image);
      if (!set_evaluation) evaluation_record_ = nullptr;
    }
  }
  evaluation_record_ = nullptr;
  record_pointer_ = saved_pointer;
  return result;
}

int32_t Database::StoreValue(const FieldDefinition& field, const runtime::ArgCell& value,
                             uint8_t* image, std::string_view* memo_value) {
  uint8_t* slot = image + field.offset;
  switch (field.type) {
    case kLogicalField:
      slot[0] = value.low != 0 ? 1 : 0;
      return code::kOk;
    case kTextField: {
      // The text and its zero, at most the width; the rest of the field is zero-filled.
      std::memset(slot, 0, static_cast<size_t>(field.width));
      const std::string_view text = runtime::TextOf(value.AsPointer<const char>());
      std::memcpy(slot, text.data(),
                  std::min<size_t>(text.size(), static_cast<size_t>(field.width)));
      return code::kOk;
    }
    case kMemoField: {
      *memo_value = runtime::TextOf(value.AsPointer<const char>());
      return code::kOk;
    }
    case kByteSetField: {
      const auto bytes = runtime::ByteSetBytes(value.AsPointer<const void>());
      *memo_value = std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size());
      return code::kOk;
    }
    case kDateTimeField:
    case kRoutineField: {
      std::memcpy(slot, &value.low, static_cast<size_t>(field.StoredSize()));
      return code::kOk;
    }
    default: {
      const runtime::ArgCell converted =
          commands::ConvertNumeric(value, FieldValueType(field.type));
      std::memcpy(slot, &converted.low, static_cast<size_t>(field.StoredSize()));
      return code::kOk;
    }
  }
}

int32_t Database::UpdateOne(int32_t record, uint8_t* image,
                            const std::vector<ResolvedUpdate>& updates,
                            const std::vector<int32_t>& touched_indexes) {
  const int32_t size = record_size();
  std::vector<uint8_t> updated(image, image + size);
  struct MemoChange {
    const FieldDefinition* field;
    ChainChange chain;
  };
  std::vector<MemoChange> memo_changes;
  // The values live until the update is done: memo values are written from their blocks.
  std::vector<std::unique_ptr<EvaluatedValue>> values;
  std::vector<std::string_view> new_values;
  if (memo_ != nullptr) memo_->ForgetCachedBlocks();
  for (const ResolvedUpdate& update : updates) {
    const FieldDefinition& field = layout_.fields[static_cast<size_t>(update.field)];
    // A sub-statement is evaluated now, so it sees the evaluation record.
    values.push_back(std::make_unique<EvaluatedValue>(update.value));
    const runtime::ArgCell& value = values.back()->cell();
    if (!FitsField(field, value)) return code::kExpressionType;
    std::string_view memo_value;
    StoreValue(field, value, updated.data(), &memo_value);
    if (!field.IsMemo()) continue;
    if (memo_ == nullptr) return code::kWriteFieldFailed;
    // A field named twice takes the last value, as if the pairs were written one by one.
    for (size_t i = memo_changes.size(); i-- > 0;) {
      if (memo_changes[i].field == &field) {
        memo_changes.erase(memo_changes.begin() + static_cast<std::ptrdiff_t>(i));
        new_values.erase(new_values.begin() + static_cast<std::ptrdiff_t>(i));
      }
    }
    // An unchanged value is left where it is: the 100 ms save of an untouched chapter
    // writes nothing and takes no memo lock. A changed one keeps the blocks that stay.
    MemoChange change{&field, {}};
    memo_->PlanChange(LoadI32(image + field.offset), memo_value, &change.chain);
    if (change.chain.unchanged) continue;
    memo_changes.push_back(std::move(change));
    new_values.push_back(memo_value);
  }

  // A save that changes nothing writes nothing, so it need not look at the files either.
  const bool plain_changed =
      std::memcmp(updated.data() + 4, image + 4, static_cast<size_t>(size - 4)) != 0;
  if (memo_changes.empty() && !plain_changed) return code::kOk;
  if (const int32_t in_place = CheckFilesInPlace(); in_place != code::kOk) return in_place;
  const RememberMainFileAtTheEnd remember{*this};

  // A save that fails after some values were written gives their blocks back as spares: a
  // full disk may fail every save for a while, and none may leak a block.
  size_t written = 0;  // memo_changes[switched, written) hold blocks nothing references
  size_t switched = 0;
  const auto fail = [&](int32_t failure) {
    for (size_t i = switched; i < written; ++i) memo_->AbandonChange(&memo_changes[i].chain);
    return failure;
  };
  for (; written < memo_changes.size(); ++written) {
    MemoChange& change = memo_changes[written];
    const int32_t result = memo_->WriteChange(new_values[written], &change.chain);
    if (result != code::kOk) {
      return fail(result == code::kDiskFull ? result : code::kWriteFieldFailed);
    }
    StoreI32(updated.data() + change.field->offset, change.chain.old_first);  // switched below
  }
  // The new blocks are on the disk before any switch names them.
  if (!memo_changes.empty()) {
    const bool switch_in_memo =
        std::any_of(memo_changes.begin(), memo_changes.end(),
                    [](const MemoChange& change) { return change.chain.SwitchBlock() != 0; });
    const int32_t flushed = memo_->FlushBeforeSwitch(switch_in_memo);
    if (flushed != code::kOk) {
      return fail(flushed == code::kDiskFull ? flushed : code::kWriteFieldFailed);
    }
  }

  // 1. The plain field bytes (never the id), with the memo fields still naming their old
  //    chains.
  const int64_t position = layout_.RecordPosition(record);
  if (plain_changed) {
    if (main_.WriteAt(position + 4, updated.data() + 4, size - 4) != size - 4) {
      return fail(WriteFailureCode(main_.last_error(), code::kWriteRecordFailed));
    }
  }
  // 2. Each memo value is switched to its new blocks by one 4-byte write: the record's block
  //    number when the first block changes, else the next word of the last kept block; 3. then
  //    the replaced blocks are set aside. A crash before 3 only leaks them.
  int32_t result = code::kOk;
  for (; switched < memo_changes.size(); ++switched) {
    const MemoChange& change = memo_changes[switched];
    const ChainChange& chain = change.chain;
    if (chain.SwitchBlock() != 0) {
      const int32_t switch_result = memo_->SwitchKeptFront(chain);
      if (switch_result != code::kOk) {
        return fail(switch_result == code::kDiskFull ? switch_result : code::kWriteFieldFailed);
      }
    } else {
      uint8_t word[4];
      StoreI32(word, chain.new_first);
      if (main_.WriteAt(position + change.field->offset, word, 4) != 4) {
        return fail(WriteFailureCode(main_.last_error(), code::kWriteRecordFailed));
      }
    }
    StoreI32(updated.data() + change.field->offset, chain.new_first);
    const int32_t finished = memo_->FinishChange(chain, chain.SwitchBlock() == 0);
    if (finished != code::kOk) result = finished;
  }

  for (int32_t k : touched_indexes) {
    IndexFile& index = *indexes_[static_cast<size_t>(k)];
    const std::string old_key = BuildKey(index.shape(), std::span<const uint8_t>(image, size));
    const std::string new_key = BuildKey(index.shape(), updated);
    const int32_t moved = index.Move(old_key, new_key, record);
    if (moved != code::kOk)
      result = moved == code::kIndexEntryMissing ? moved : code::kIndexChangeFailed;
  }
  std::memcpy(image, updated.data(), static_cast<size_t>(size));
  return result;
}

int32_t Database::UpdateRecords(const runtime::ArgCell* condition,
                                std::span<const FieldUpdate> updates) {
  std::vector<ResolvedUpdate> resolved;
  for (const FieldUpdate& update : updates) {
    const int32_t field = FieldByName(update.name);
    if (field < 0) continue;  // unknown names are passed over
    const FieldDefinition& definition = layout_.fields[static_cast<size_t>(field)];
    if (update.value.type != runtime::kSubStatement && !FitsField(definition, update.value)) {
      return code::kValueTypeMismatch;
    }
    resolved.push_back({field, update.value});
  }
  if (resolved.empty()) return code::kOk;
  std::vector<int32_t> touched_indexes;
  for (size_t k = 0; k < indexes_.size(); ++k) {
    const auto& key_fields = indexes_[k]->shape().fields;
    const bool touched =
        std::any_of(resolved.begin(), resolved.end(), [&](const ResolvedUpdate& u) {
          return std::any_of(key_fields.begin(), key_fields.end(),
                             [&](const KeyField& key) { return key.field == u.field; });
        });
    if (touched) touched_indexes.push_back(static_cast<int32_t>(k));
  }
  return Scan(condition, /*set_evaluation=*/true, [&](int32_t record, uint8_t* image) {
    return UpdateOne(record, image, resolved, touched_indexes);
  });
}

int32_t Database::MarkRecords(const runtime::ArgCell* condition, bool deleted) {
  if (const int32_t in_place = CheckFilesInPlace(); in_place != code::kOk) return in_place;
  const RememberMainFileAtTheEnd remember{*this};
  const auto mark = [&](int32_t record, uint8_t* image) {
    const int32_t id = LoadI32(image);
    if ((id < 0) == deleted || id == 0) return code::kOk;  // already in the wanted state
    // Negating INT32_MIN is not possible; such an id is left alone.
    if (id == INT32_MIN) return code::kOk;
    uint8_t word[4];
    StoreI32(word, -id);
    if (main_.WriteAt(layout_.RecordPosition(record), word, 4) != 4) {
      return WriteFailureCode(main_.last_error(), code::kWriteRecordFailed);
    }
    StoreI32(image, -id);
    return code::kOk;
  };
  if (condition != nullptr) return Scan(condition, /*set_evaluation=*/true, mark);

  // Without a condition only the id of the current record is read.
  if (record_pointer_ < 0) return code::kNoCurrentRecord;
  ByteLockGuard record_lock(locks_, RecordLockOffset(record_pointer_), LockWait());
  if (record_lock.result() != code::kOk) return record_lock.result();
  uint8_t id[4];
  const int64_t read = ReadRecordBytes(record_pointer_, 0, id, 4);
  if (read == 0) return code::kNoCurrentRecord;
  if (read != 4) return code::kReadRecordFailed;
  return mark(record_pointer_, id);
}

}  // namespace database
