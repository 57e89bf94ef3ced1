// Telling files replaced under an open database.
//
// Share modes only bind the programs that ask for them: another program may copy a backup over
// the main or memo file, rename one into place, or delete or shorten it while the database is
// open. Writing on would then put a record's new bytes into blocks that the other file uses for
// other records (a copy), or into a file no name leads to any more (a rename), lost at the close.
// So every operation that writes first checks, cheaply, that the files are still the ones at
// their paths, as this open left them:
//   - each open file is the file its path names (volume and file number), and still has a name;
//   - when the database is open exclusively, so that nobody else may change it: the main file's
//     counts, both files' lengths and modification times are the ones this open's last write
//     left, and the memo file's header words are the ones this open last read or wrote and its
//     length holds that many blocks. A copy in place of the same length writes the files, and
//     so moves their modification times; a program that only reads them, or sets only their
//     access times (a backup, an indexer, a virus scan), moves neither. (A write in the same
//     tick of the system's clock as this open's last one may keep the time: then only the
//     counts, lengths and memo header tell. Windows keeps other writers out altogether.)
// That is a stat of each path and handle and two small reads, never a read of a whole file. A
// file that fails the check is written no more by this open, to the end: not by a save, a pack
// or the release of spare blocks at the close. The files at the paths keep the other program's
// bytes exactly. A look-up the system does not answer (a network folder's passing I/O error)
// decides nothing: that write is refused with kFileCheckFailed and the next one asks again.

#include "database/database.h"
#include "database/error_codes.h"
#include "platform/core/file_identity.h"

namespace database {
namespace {

enum class Place { kInPlace, kReplaced, kUnknown };

// Whether `file`, opened when `path` named `at_open`, is still the file at `path`; kUnknown
// when the system did not answer now (a network folder's passing I/O error): the next write
// asks again.
Place PlaceOf(const platform::File& file, const std::string& path,
              const std::optional<platform::FileIdentity>& at_open) {
  if (!at_open) return Place::kInPlace;  // the system could not tell at the open: nothing to compare
  const std::optional<platform::FileIdentity> now = file.Identity();
  if (!now) return Place::kUnknown;
  if (now->links == 0 || !now->SameFileAs(*at_open)) return Place::kReplaced;
  bool could_not_ask = false;
  const std::optional<platform::FileIdentity> named = platform::IdentityOfPath(path, &could_not_ask);
  if (could_not_ask) return Place::kUnknown;
  return named && named->SameFileAs(*now) ? Place::kInPlace : Place::kReplaced;
}

}  // namespace

void Database::RememberFileIdentities() {
  main_identity_ = main_.Identity();
  if (memo_ != nullptr) memo_identity_ = memo_->file().Identity();
  RememberMainFile();
}

bool Database::ReadMainFileState(MainFileState* state) {
  state->size = main_.Size();
  state->main_stamp = main_.Stamp().value_or(platform::FileStamp{});
  if (memo_ != nullptr) state->memo_stamp = memo_->file().Stamp().value_or(platform::FileStamp{});
  return ReadCounts(main_, &state->record_count, &state->next_id) == code::kOk && state->size >= 0;
}

void Database::RememberMainFile() {
  main_state_.reset();
  if (!exclusive_ || read_only_ || files_replaced_) return;
  MainFileState state;
  if (ReadMainFileState(&state)) main_state_ = state;
}

int32_t Database::CheckFilesInPlace() {
  if (files_replaced_) return code::kFilesReplaced;
  const Place main_place = PlaceOf(main_, full_path_, main_identity_);
  const Place memo_place =
      memo_ == nullptr ? Place::kInPlace : PlaceOf(memo_->file(), memo_path_, memo_identity_);
  if (main_place != Place::kReplaced && memo_place != Place::kReplaced &&
      (main_place == Place::kUnknown || memo_place == Place::kUnknown)) {
    return code::kFileCheckFailed;  // nothing written now, nothing decided for good
  }
  bool in_place = main_place == Place::kInPlace && memo_place == Place::kInPlace;
  if (in_place && main_state_) {
    // Nobody else may write an exclusive database: its counts, lengths and modification times
    // are as this open left them.
    MainFileState now;
    if (ReadMainFileState(&now) && now != *main_state_) {
      in_place = false;
    }
  }
  if (in_place && exclusive_ && !read_only_ && memo_ != nullptr && !memo_->HeaderAsLastSeen()) {
    in_place = false;
  }
  if (in_place) return code::kOk;
  files_replaced_ = true;
  if (memo_ != nullptr) memo_->StopWriting();
  return code::kFilesReplaced;
}

}  // namespace database
