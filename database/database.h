#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "database/byte_locks.h"
#include "database/index_file.h"
#include "database/main_file.h"
#include "database/memo_file.h"
#include "platform/core/file.h"
#include "runtime/arg_cell.h"

// One open database: its main file, memo file and index files, the record pointer, and the
// operations of the engine. Every operation returns 0 or a negative error code
// (error_codes.h) and hands results back through out-parameters.

namespace database {

inline constexpr int32_t kMaxIndexFiles = 10;

struct OpenOptions {
  std::string path;  // GBK
  std::string password;
  bool read_only = false;
  int32_t share_mode = 0;  // 0 deny nothing, 1 deny reading, 2 deny writing, else exclusive
  std::string alias;
  std::vector<std::string> index_names;
};

// One (field name, value) pair of an update. The value is a sub-statement (computed per
// record), a value of the field's type, or a number for a numeric field.
struct FieldUpdate {
  std::string name;  // GBK
  runtime::ArgCell value;
};

// The full path, title and default paths an open would use for `path` (GBK): the extension
// "EDB" is added to a name without one, and the path made absolute and normal.
std::string ResolveDatabasePath(std::string_view gbk_path);

class Database {
 public:
  // Opens the files of `options` (the path already resolved by ResolveDatabasePath).
  static int32_t Open(const OpenOptions& options, std::unique_ptr<Database>* database);

  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;
  // Closes the database: releases every lock and closes every file.
  virtual ~Database();

  const std::string& full_path() const { return full_path_; }
  const std::string& title() const { return title_; }
  const std::string& alias() const { return alias_; }
  const std::vector<FieldDefinition>& fields() const { return layout_.fields; }
  const MainFileLayout& layout() const { return layout_; }
  int32_t record_pointer() const { return record_pointer_; }
  int32_t index_count() const { return static_cast<int32_t>(indexes_.size()); }
  const std::vector<std::string>& index_titles() const { return index_titles_; }
  IndexFile* index(int32_t i) { return indexes_[static_cast<size_t>(i)].get(); }
  MemoFile* memo() { return memo_.get(); }

  // The 0-based number of the field called `name` (ASCII case ignored), or -1.
  int32_t FieldByName(std::string_view name) const;
  const FieldDefinition* FieldByNumber(int32_t number) const;

  // The header's record count (negative read as 0) and next id (≤ 0 read as 1), under the
  // header lock.
  int32_t RecordCount(int32_t* count, int32_t* next_id);

  void GoFirst() { record_pointer_ = 0; }
  int32_t Skip(int32_t n);
  // Both report true, and return the error, when the count cannot be read.
  int32_t IsBeforeFirst(bool* before);
  int32_t IsAfterLast(bool* after);

  // The value of field `field` (0-based) of the current record, as the engine hands it out:
  // a memo chain's bytes; a logical as 2 bytes (-1 true, 0 false); a date-time clamped; a
  // text cut at its first zero; other types their stored bytes.
  // A memo field whose chain is damaged fails with kMemoChainDamaged and no bytes.
  int32_t ReadField(int32_t field, std::string* bytes);
  // As ReadField, but a memo field whose chain is damaged gives what can still be read of it:
  // its bytes in order up to the first bad link (a memo text cut at its first zero), with
  // kMemoChainDamaged, so that an author sees and can keep the text that was saved.
  int32_t ReadReadablePart(int32_t field, std::string* bytes);
  int32_t IsDeleted(bool* deleted);
  // The current record's id (positive, deleted or not): never given to another record and kept
  // by a pack, so it names a record for good where its number may change.
  int32_t ReadRecordId(int32_t* id);
  // A blank record at the end, the pointer on it. With `deleted` it is born marked deleted (its
  // id word negative in the same write), so that a crash right after never leaves it live.
  int32_t AppendBlank(bool deleted = false);

  // With a condition (a logical or sub-statement cell), every record of the file whose
  // condition yields true; without one, the current record.
  int32_t UpdateRecords(const runtime::ArgCell* condition, std::span<const FieldUpdate> updates);
  int32_t MarkRecords(const runtime::ArgCell* condition, bool deleted);
  int32_t Pack();
  // Puts every change made so far on the disk (a save's text already is; its switch, a new
  // or deleted record and the plain fields wait for this or the close): for a moment when the
  // author has stopped, as a chapter switch.
  int32_t Flush();

 private:
  Database();

  struct ResolvedUpdate {
    int32_t field;
    runtime::ArgCell value;
  };

  int32_t OpenFiles(const OpenOptions& options);
  // Called first by every operation that writes (files_in_place.cpp): kOk while the open files
  // are still the files at their paths, as this open left them; otherwise kFilesReplaced, now
  // and for good, and nothing is written into them any more, not even at the close.
  int32_t CheckFilesInPlace();
  void RememberFileIdentities();
  // What the main file looked like when this open last wrote it: its counts and its length.
  void RememberMainFile();
  // Remembers the main file as an operation that writes leaves it, whether it succeeded or not.
  struct RememberMainFileAtTheEnd {
    Database& database;
    ~RememberMainFileAtTheEnd() { database.RememberMainFile(); }
  };
  int32_t CheckPassword(const DatabaseHeader& header, const std::string& password);
  int32_t OpenIndexes(const std::vector<std::string>& names, platform::ShareMode share);
  int32_t RebuildIndexes();
  int32_t ReadIdWord(int32_t* word);
  // ReadField, or with `readable_part` ReadReadablePart.
  int32_t ReadFieldValue(int32_t field, bool readable_part, std::string* bytes);

  // Runs `handle` for the records of a scan (see UpdateRecords). `image` is the record's
  // bytes, which the handler may change to keep the batch current.
  template <typename Handle>
  int32_t Scan(const runtime::ArgCell* condition, bool set_evaluation, Handle&& handle);
  int32_t UpdateOne(int32_t record, uint8_t* image, const std::vector<ResolvedUpdate>& updates,
                    const std::vector<int32_t>& touched_indexes);
  int32_t StoreValue(const FieldDefinition& field, const runtime::ArgCell& value, uint8_t* image,
                     std::string_view* memo_value);

  int64_t RecordLockOffset(int64_t record) const { return layout_.RecordPosition(record); }
  int32_t record_size() const { return layout_.header.record_size(); }

  platform::File main_;
  ByteLocks locks_{&main_};
  std::string full_path_;
  std::string title_;
  std::string alias_;
  MainFileLayout layout_;
  int32_t record_pointer_ = 0;
  std::unique_ptr<MemoFile> memo_;
  std::vector<std::unique_ptr<IndexFile>> indexes_;
  std::vector<std::string> index_titles_;
  std::vector<std::string> index_paths_;
  const uint8_t* evaluation_record_ = nullptr;
  bool read_only_ = false;
  // Opened exclusively, no other open can change the counts: they are read once and kept
  // until this open changes them (an append or a pack forgets them).
  bool exclusive_ = false;
  std::optional<std::pair<int32_t, int32_t>> kept_counts_;  // record count, next id
  // Reads `count` bytes at `offset` of record `record` as main_.ReadAt does. An exclusive open
  // reads records ahead, a batch at a time, and answers from them until this open changes
  // the main file (nobody else may): a walk over the records asks the system once a batch.
  int64_t ReadRecordBytes(int32_t record, int32_t offset, void* bytes, int32_t count);
  struct RecordsReadAhead {
    int32_t first = 0;
    int32_t count = 0;          // whole records held
    uint64_t file_changes = 0;  // main_.change_count() when they were read
    std::vector<uint8_t> bytes;
  };
  RecordsReadAhead read_ahead_;
  // What the paths named at the open, to tell a file replaced under this open.
  std::string memo_path_;
  std::optional<platform::FileIdentity> main_identity_;
  std::optional<platform::FileIdentity> memo_identity_;
  bool files_replaced_ = false;
  struct MainFileState {
    int32_t record_count = 0;
    int32_t next_id = 0;
    int64_t size = 0;
    // Both files' length and modification time, where the system tells them: any write by
    // another program moves them.
    platform::FileStamp main_stamp;
    platform::FileStamp memo_stamp;
    bool operator==(const MainFileState&) const = default;
  };
  // The state of the files now, with the counts read from the main file; false when the
  // counts or the length cannot be read.
  bool ReadMainFileState(MainFileState* state);
  // For an exclusive writable open: set at the open and after every operation that writes.
  std::optional<MainFileState> main_state_;
};

}  // namespace database
