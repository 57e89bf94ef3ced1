#include "database/database.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <tuple>

#include "database/error_codes.h"
#include "database/le_bytes.h"
#include "database/pack_journal.h"
#include "database/password.h"
#include "platform/core/lock_retry.h"
#include "platform/core/native_path.h"
#include "runtime/cell_values.h"
#include "runtime/gbk_literal.h"

namespace database {
namespace {

namespace fs = std::filesystem;

fs::path AbsoluteNormal(const fs::path& path) {
  std::error_code error;
  fs::path resolved = fs::weakly_canonical(path, error);
  if (error) resolved = fs::absolute(path, error).lexically_normal();
  return resolved;
}

// The extension of a sibling file in the case of the main file's own extension, so that
// "data.edb" pairs with "data.edt" on a file system that tells case apart.
std::string ExtensionLike(const fs::path& main, std::string_view upper) {
  const std::u8string extension = main.extension().u8string();
  const bool lower = std::any_of(extension.begin(), extension.end(),
                                 [](char8_t c) { return c >= 'a' && c <= 'z'; });
  std::string result = ".";
  for (char c : upper) result.push_back(lower ? static_cast<char>(c - 'A' + 'a') : c);
  return result;
}

// On a file system that tells case apart, a default or sibling extension takes the case of
// the file that exists: "EDB" and "edb" name the same file on the platform the format comes
// from.
fs::path WithExtension(fs::path path, const std::string& extension) {
  path.replace_extension(extension);
  std::error_code error;
  if (fs::exists(path, error)) return path;
  std::string other = extension;
  for (char& c : other) {
    if (c >= 'a' && c <= 'z') {
      c = static_cast<char>(c - 'a' + 'A');
    } else if (c >= 'A' && c <= 'Z') {
      c = static_cast<char>(c - 'A' + 'a');
    }
  }
  fs::path alternative = path;
  alternative.replace_extension(other);
  return fs::exists(alternative, error) ? alternative : path;
}

bool PathsEqualIgnoringCase(std::string_view a, std::string_view b) {
  return NamesEqualIgnoringCase(a, b);
}

// An alias: the first character a letter (half or full width) or a Chinese character, the
// others letters, digits (half or full width) or Chinese characters.
bool IsValidAlias(std::string_view alias) {
  for (size_t i = 0; i < alias.size(); ++i) {
    const auto byte = static_cast<uint8_t>(alias[i]);
    const bool first = i == 0;
    if (byte < 0x80) {
      const bool letter = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z');
      const bool digit = byte >= '0' && byte <= '9';
      if (!(letter || (!first && digit))) return false;
      continue;
    }
    if (i + 1 >= alias.size()) return false;
    const auto trail = static_cast<uint8_t>(alias[i + 1]);
    const bool chinese = byte >= 0xB0 && byte <= 0xF7 && trail >= 0xA1;
    const bool wide_letter =
        byte == 0xA3 && ((trail >= 0xC1 && trail <= 0xDA) || (trail >= 0xE1 && trail <= 0xFA));
    const bool wide_digit = byte == 0xA3 && trail >= 0xB0 && trail <= 0xB9;
    if (!(chinese || wide_letter || (!first && wide_digit))) return false;
    ++i;
  }
  return true;
}

platform::ShareMode ShareModeOf(int32_t share_mode) {
  switch (share_mode) {
    case 0:
      return platform::ShareMode::kDenyNone;
    case 1:
      return platform::ShareMode::kDenyRead;
    case 2:
      return platform::ShareMode::kDenyWrite;
    default:
      return platform::ShareMode::kExclusive;
  }
}

}  // namespace

std::string ResolveDatabasePath(std::string_view gbk_path) {
  fs::path path = platform::FsPath(gbk_path);
  if (!path.filename().has_extension()) {
    std::string_view stem = gbk_path;  // "." is never a GBK trail byte
    if (stem.ends_with('.')) stem.remove_suffix(1);
    path = WithExtension(platform::FsPath(stem), ".EDB");
  }
  return platform::GbkPathOf(AbsoluteNormal(path));
}

Database::Database() = default;

Database::~Database() {
  locks_.ReleaseEverything();
  // Everything on the disk before the memo file's close releases its spares. (A failure here
  // has no one to tell: the desk flushes, and reports, before it closes.)
  Flush();
  if (memo_) memo_->Close();
  main_.Close();
  for (auto& index : indexes_) index->Close();
  record_pointer_ = 0;
}

int32_t Database::Open(const OpenOptions& options, std::unique_ptr<Database>* database) {
  if (options.path.empty()) return code::kFileNotFound;
  if (!options.alias.empty() && !IsValidAlias(options.alias)) return code::kBadAlias;
  std::unique_ptr<Database> opened(new Database());
  const int32_t result = opened->OpenFiles(options);
  if (result != code::kOk) return result;  // the destructor closes what was opened
  *database = std::move(opened);
  return code::kOk;
}

int32_t Database::CheckPassword(const DatabaseHeader& header, const std::string& password) {
  if (!header.IsProtected()) return password.empty() ? code::kOk : code::kWrongPassword;
  const std::string digest = header.digest();
  if (password != "?") return PasswordMatches(password, digest) ? code::kOk : code::kWrongPassword;
  PasswordPrompt* prompt = CurrentPasswordPrompt();
  if (prompt == nullptr) return code::kWrongPassword;  // no way to ask: as cancelled
  std::string message;
  for (int entries = 1; entries <= 3; ++entries) {
    const std::optional<std::string> answer = prompt->Ask(message);
    if (!answer) return code::kWrongPassword;
    if (PasswordMatches(*answer, digest)) return code::kOk;
    message = runtime::Gbk("密码错误，您还有 ") + std::to_string(3 - entries) +
              runtime::Gbk(" 次重新输入的机会。");
  }
  return code::kWrongPassword;
}

int32_t Database::OpenFiles(const OpenOptions& options) {
  full_path_ = options.path;
  const fs::path native = platform::FsPath(full_path_);
  title_ = platform::GbkPathOf(native.stem());
  alias_ = options.alias;
  read_only_ = options.read_only;
  const platform::ShareMode share = ShareModeOf(options.share_mode);
  const bool exclusive = share == platform::ShareMode::kExclusive;

  platform::FileResult opened = platform::OpenWithRetry(
      full_path_, read_only_ ? platform::FileAccess::kRead : platform::FileAccess::kReadWrite,
      share, platform::Disposition::kOpenExisting, LockWait());
  if (!opened.ok()) return FileErrorCode(opened.error);
  if (!read_only_ && !opened.file->share_mode_enforced()) return code::kLocksUnsupported;
  main_ = std::move(*opened.file);
  locks_ = ByteLocks(&main_);

  // An exclusive database never takes a lock. Any other stays locked as a whole until the
  // open is done, so that nobody sees a file being repaired.
  if (exclusive) locks_.SetExclusive();
  exclusive_ = exclusive;
  WholeFileLockGuard whole(locks_, LockWait());
  if (whole.result() != code::kOk) return whole.result();

  const std::string journal = PackJournalPath(full_path_);
  bool replayed = false;
  JournalHeader ignored;
  const JournalState journal_state = InspectPackJournal(journal, &ignored);
  // A journal that cannot be read may be the only whole copy of the records: it is neither
  // replayed nor deleted, and the open waits for a read that works.
  if (journal_state == JournalState::kUnreadable) return code::kPackJournalUnreadable;
  if (!read_only_) {
    replayed = journal_state == JournalState::kComplete;
    const int32_t result = ReplayPackJournal(journal, main_);
    if (result != code::kOk) return result;
  } else if (journal_state == JournalState::kComplete) {
    return code::kOpenFailed;  // a pack that died half-way can only be finished by a writer
  }

  int32_t result = ReadMainFile(
      main_, !read_only_,
      [&](const DatabaseHeader& header) { return CheckPassword(header, options.password); },
      &layout_);
  if (result != code::kOk) return result;

  const bool has_memo = std::any_of(layout_.fields.begin(), layout_.fields.end(),
                                    [](const FieldDefinition& f) { return f.IsMemo(); });
  if (has_memo) {
    const fs::path memo_path = WithExtension(native, ExtensionLike(native, "EDT"));
    memo_ = std::make_unique<MemoFile>();
    memo_path_ = platform::GbkPathOf(memo_path);
    result = memo_->Open(memo_path_, read_only_, share, exclusive, layout_.header.version());
    if (result != code::kOk) return result;
    memo_->SetMainFile(&main_);
  }

  std::vector<std::string> names;
  for (const std::string& name : options.index_names) {
    if (!name.empty()) names.push_back(name);
  }
  if (names.size() > static_cast<size_t>(kMaxIndexFiles)) return code::kTooManyIndexes;
  result = OpenIndexes(names, share);
  if (result != code::kOk) return result;
  if (replayed) {
    result = RebuildIndexes();
    if (result != code::kOk) return result;
  }

  RememberFileIdentities();
  record_pointer_ = 0;
  return code::kOk;
}

int32_t Database::OpenIndexes(const std::vector<std::string>& names, platform::ShareMode share) {
  const fs::path folder = platform::FsPath(full_path_).parent_path();
  for (const std::string& name : names) {
    fs::path path = platform::FsPath(name);
    if (!path.has_extension()) {
      path = WithExtension(path, ExtensionLike(platform::FsPath(full_path_), "ENX"));
    }
    if (!path.has_parent_path()) path = folder / path;
    const std::string gbk_path = platform::GbkPathOf(AbsoluteNormal(path));
    for (const std::string& open_path : index_paths_) {
      if (PathsEqualIgnoringCase(open_path, gbk_path)) return code::kIndexAlreadyOpen;
    }
    auto index = std::make_unique<IndexFile>();
    const int32_t result =
        index->Open(gbk_path, read_only_, share, share == platform::ShareMode::kExclusive,
                    layout_.header.version(), layout_.fields);
    if (result != code::kOk) return result;
    indexes_.push_back(std::move(index));
    index_paths_.push_back(gbk_path);
    index_titles_.push_back(platform::GbkPathOf(path.stem()));
  }
  return code::kOk;
}

int32_t Database::FieldByName(std::string_view name) const {
  for (size_t i = 0; i < layout_.fields.size(); ++i) {
    if (NamesEqualIgnoringCase(layout_.fields[i].name, name)) return static_cast<int32_t>(i);
  }
  return -1;
}

const FieldDefinition* Database::FieldByNumber(int32_t number) const {
  if (number < 0 || number >= static_cast<int32_t>(layout_.fields.size())) return nullptr;
  return &layout_.fields[static_cast<size_t>(number)];
}

int32_t Database::RecordCount(int32_t* count, int32_t* next_id) {
  if (kept_counts_) {
    std::tie(*count, *next_id) = *kept_counts_;
    return code::kOk;
  }
  *count = 0;
  *next_id = 1;
  ByteLockGuard header_lock(locks_, kCountsOffset, HeaderLockWait());
  if (header_lock.result() != code::kOk) return header_lock.result();
  const int32_t result = ReadCounts(main_, count, next_id);
  if (*count < 0) *count = 0;
  if (*next_id <= 0) *next_id = 1;
  if (exclusive_ && result == code::kOk) kept_counts_ = {*count, *next_id};
  return result;
}

int32_t Database::Skip(int32_t n) {
  if (n == 0) return code::kOk;
  int32_t count = 0;
  int32_t next_id = 0;
  const int32_t result = RecordCount(&count, &next_id);
  if (result != code::kOk) return result;
  if (n < 0 && (count == 0 || record_pointer_ < 0)) return code::kBeforeFirst;
  if (n > 0 && (count == 0 || record_pointer_ >= count)) return code::kAfterLast;
  const int64_t moved = std::min<int64_t>(count, int64_t{record_pointer_} + n);
  record_pointer_ = static_cast<int32_t>(std::max<int64_t>(-1, moved));
  return code::kOk;
}

int32_t Database::IsBeforeFirst(bool* before) {
  int32_t count = 0;
  int32_t next_id = 0;
  const int32_t result = RecordCount(&count, &next_id);
  *before = result != code::kOk || count == 0 || record_pointer_ < 0;
  return result;
}

int32_t Database::IsAfterLast(bool* after) {
  int32_t count = 0;
  int32_t next_id = 0;
  const int32_t result = RecordCount(&count, &next_id);
  *after = result != code::kOk || count == 0 || record_pointer_ >= count;
  return result;
}

int32_t Database::ReadField(int32_t field, std::string* bytes) {
  return ReadFieldValue(field, /*readable_part=*/false, bytes);
}

int32_t Database::ReadReadablePart(int32_t field, std::string* bytes) {
  return ReadFieldValue(field, /*readable_part=*/true, bytes);
}

int32_t Database::ReadFieldValue(int32_t field_number, bool readable_part, std::string* bytes) {
  bytes->clear();
  const FieldDefinition* field = FieldByNumber(field_number);
  if (field == nullptr) return code::kNoSuchField;
  const int32_t size = field->StoredSize();
  std::string stored(static_cast<size_t>(size), '\0');
  std::optional<ByteLockGuard> record_lock;
  if (evaluation_record_ != nullptr) {
    std::memcpy(stored.data(), evaluation_record_ + field->offset, static_cast<size_t>(size));
  } else {
    if (record_pointer_ < 0) return code::kNoCurrentRecord;
    // The record stays locked while a memo chain is read, so that nobody releases it.
    record_lock.emplace(locks_, RecordLockOffset(record_pointer_), LockWait());
    if (record_lock->result() != code::kOk) return record_lock->result();
    const int64_t read = ReadRecordBytes(record_pointer_, field->offset, stored.data(), size);
    if (read == 0) return code::kSeekFailed;  // at or past the end of the file
    if (read != size) return code::kReadFieldFailed;
  }
  const auto* raw = reinterpret_cast<const uint8_t*>(stored.data());
  switch (field->type) {
    case kByteSetField:
    case kMemoField: {
      if (memo_ == nullptr) return code::kReadFieldFailed;
      const int32_t result = readable_part ? memo_->ReadReadablePart(LoadI32(raw), bytes)
                                           : memo_->ReadChain(LoadI32(raw), bytes);
      if (result != code::kOk && !(readable_part && result == code::kMemoChainDamaged)) {
        bytes->clear();
        return result;
      }
      if (field->type == kMemoField) bytes->resize(strnlen(bytes->data(), bytes->size()));
      return result;
    }
    case kLogicalField: {
      const int16_t value = raw[0] != 0 ? -1 : 0;
      bytes->assign(reinterpret_cast<const char*>(&value), 2);
      return code::kOk;
    }
    case kDateTimeField: {
      double days;
      std::memcpy(&days, raw, 8);
      days = runtime::ClampDateTime(days);
      bytes->assign(reinterpret_cast<const char*>(&days), 8);
      return code::kOk;
    }
    case kTextField:
      stored.resize(strnlen(stored.data(), stored.size()));
      *bytes = std::move(stored);
      return code::kOk;
    default:
      *bytes = std::move(stored);
      return code::kOk;
  }
}

// The current record's id word as stored: negated while the record is marked deleted.
int32_t Database::ReadIdWord(int32_t* word) {
  *word = 0;
  if (record_pointer_ < 0) return code::kNoCurrentRecord;
  if (evaluation_record_ != nullptr) {
    *word = LoadI32(evaluation_record_);
    return code::kOk;
  }
  ByteLockGuard record_lock(locks_, RecordLockOffset(record_pointer_), LockWait());
  if (record_lock.result() != code::kOk) return record_lock.result();
  uint8_t bytes[4];
  const int64_t read = ReadRecordBytes(record_pointer_, 0, bytes, 4);
  if (read == 0) return code::kSeekFailed;  // at or past the end of the file
  if (read != 4) return code::kReadFieldFailed;
  *word = LoadI32(bytes);
  return code::kOk;
}

int32_t Database::IsDeleted(bool* deleted) {
  int32_t word = 0;
  const int32_t result = ReadIdWord(&word);
  *deleted = word < 0;
  return result;
}

int32_t Database::ReadRecordId(int32_t* id) {
  int32_t word = 0;
  const int32_t result = ReadIdWord(&word);
  // A damaged record's word may not negate.
  *id = word == INT32_MIN ? 0 : (word < 0 ? -word : word);
  return result;
}

int32_t Database::AppendBlank(bool deleted) {
  if (!main_.IsOpen()) return code::kNoDatabase;
  if (const int32_t in_place = CheckFilesInPlace(); in_place != code::kOk) return in_place;
  const RememberMainFileAtTheEnd remember{*this};
  kept_counts_.reset();
  ByteLockGuard header_lock(locks_, kCountsOffset, HeaderLockWait());
  if (header_lock.result() != code::kOk) return header_lock.result();
  int32_t count = 0;
  int32_t next_id = 0;
  if (ReadCounts(main_, &count, &next_id) != code::kOk) return code::kRecordCountFailed;
  const int32_t number = std::max(count, 0);
  const int32_t id = next_id > 0 ? next_id : 1;
  if (number == INT32_MAX || id == INT32_MAX) return code::kWriteRecordFailed;

  ByteLockGuard record_lock(locks_, RecordLockOffset(number), HeaderLockWait());
  if (record_lock.result() != code::kOk) return record_lock.result();
  const int64_t position = layout_.RecordPosition(number);
  if (main_.Size() < position) return code::kSeekFailed;
  std::vector<uint8_t> record(static_cast<size_t>(record_size()), 0);
  StoreI32(record.data(), deleted ? -id : id);
  // The record first, on the disk, then the count that makes it part of the file: a crash
  // in between leaves bytes past the last record, which the next open for writing cuts off.
  if (main_.WriteAt(position, record.data(), record_size()) != record_size() || !main_.Flush()) {
    return WriteFailureCode(main_.last_error(), code::kWriteRecordFailed);
  }
  int32_t result = WriteCounts(main_, number + 1, id + 1);
  if (result != code::kOk) return result;
  record_pointer_ = number;

  result = code::kOk;
  for (auto& index : indexes_) {
    const int32_t inserted = index->Insert(BuildKey(index->shape(), record), number);
    if (inserted != code::kOk) result = inserted;
  }
  return result;
}

int64_t Database::ReadRecordBytes(int32_t record, int32_t offset, void* bytes, int32_t count) {
  const int64_t position = layout_.RecordPosition(record) + offset;
  if (!exclusive_) return main_.ReadAt(position, bytes, count);
  RecordsReadAhead& ahead = read_ahead_;
  const int32_t size = record_size();
  const bool held = ahead.file_changes == main_.change_count() && record >= ahead.first &&
                    record - ahead.first < ahead.count;
  if (!held) {
    constexpr int32_t kReadAheadBytes = 64 * 1024;
    const int32_t records = std::max(1, kReadAheadBytes / size);
    ahead.bytes.resize(static_cast<size_t>(records) * static_cast<size_t>(size));
    const int64_t read =
        main_.ReadAt(layout_.RecordPosition(record), ahead.bytes.data(), int64_t{records} * size);
    ahead.first = record;
    ahead.count = read > 0 ? static_cast<int32_t>(read / size) : 0;
    ahead.file_changes = main_.change_count();
    // A record the file does not hold whole is read as it is, with the system's answer.
    if (ahead.count == 0) return main_.ReadAt(position, bytes, count);
  }
  std::memcpy(bytes, ahead.bytes.data() + static_cast<size_t>(record - ahead.first) * size + offset,
              static_cast<size_t>(count));
  return count;
}

int32_t Database::Flush() {
  if (!main_.IsOpen()) return code::kNoDatabase;
  if (read_only_) return code::kOk;
  if (files_replaced_) return code::kFilesReplaced;  // never a flush that was not made
  if (!main_.Flush()) return WriteFailureCode(main_.last_error(), code::kWriteRecordFailed);
  return memo_ != nullptr ? memo_->MainFileFlushed() : code::kOk;
}

int32_t Database::RebuildIndexes() {
  int32_t result = code::kOk;
  if (indexes_.empty()) return result;
  int32_t count = 0;
  int32_t next_id = 0;
  if (ReadCounts(main_, &count, &next_id) != code::kOk) return code::kRecordCountFailed;
  count = std::max(count, 0);
  std::vector<std::vector<std::pair<std::string, int32_t>>> entries(indexes_.size());
  const int32_t batch = std::max(1, 163840 / record_size());
  std::vector<uint8_t> buffer;
  for (int32_t first = 0; first < count; first += batch) {
    const int32_t n = std::min(batch, count - first);
    const int64_t bytes = int64_t{n} * record_size();
    buffer.resize(static_cast<size_t>(bytes));
    if (main_.ReadAt(layout_.RecordPosition(first), buffer.data(), bytes) != bytes) {
      return code::kReadRecordFailed;
    }
    for (int32_t i = 0; i < n; ++i) {
      const std::span<const uint8_t> record(buffer.data() + int64_t{i} * record_size(),
                                            static_cast<size_t>(record_size()));
      for (size_t k = 0; k < indexes_.size(); ++k) {
        entries[k].emplace_back(BuildKey(indexes_[k]->shape(), record), first + i);
      }
    }
  }
  for (size_t k = 0; k < indexes_.size(); ++k) {
    const int32_t rebuilt = indexes_[k]->Rebuild(entries[k]);
    if (rebuilt != code::kOk) result = rebuilt;
  }
  return result;
}

}  // namespace database
