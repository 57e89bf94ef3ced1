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
//     counts and length are the ones this open's last write left, and the memo file's header
//     words are the ones this open last read or wrote and its length holds that many blocks.
// (A copy of the same length with the same counts and memo header passes: telling it would
// take reading the records.)
// That is a stat of each path and handle and two small reads, never a read of a whole file. A
// file that fails the check is written no more by this open, to the end: not by a save, a pack
// or the release of spare blocks at the close. The files at the paths keep the other program's
// bytes exactly.

#include "database/database.h"
#include "database/error_codes.h"
#include "platform/core/file_identity.h"

namespace database {
namespace {

// True while `file`, opened when `path` named `at_open`, is still the file at `path`.
bool StillAtItsPath(const platform::File& file, const std::string& path,
                    const std::optional<platform::FileIdentity>& at_open) {
  if (!at_open) return true;  // the system could not tell at the open: nothing to compare
  const std::optional<platform::FileIdentity> now = file.Identity();
  if (!now) return true;
  if (now->links == 0 || !now->SameFileAs(*at_open)) return false;
  const std::optional<platform::FileIdentity> named = platform::IdentityOfPath(path);
  return named && named->SameFileAs(*now);
}

}  // namespace

void Database::RememberFileIdentities() {
  main_identity_ = main_.Identity();
  if (memo_ != nullptr) memo_identity_ = memo_->file().Identity();
  RememberMainFile();
}

void Database::RememberMainFile() {
  main_state_.reset();
  if (!exclusive_ || read_only_ || files_replaced_) return;
  MainFileState state;
  state.size = main_.Size();
  if (ReadCounts(main_, &state.record_count, &state.next_id) == code::kOk && state.size >= 0) {
    main_state_ = state;
  }
}

int32_t Database::CheckFilesInPlace() {
  if (files_replaced_) return code::kFilesReplaced;
  bool in_place = StillAtItsPath(main_, full_path_, main_identity_) &&
                  (memo_ == nullptr || StillAtItsPath(memo_->file(), memo_path_, memo_identity_));
  if (in_place && main_state_) {
    // Nobody else may write an exclusive database: its counts and length are as this open
    // left them.
    MainFileState now;
    now.size = main_.Size();
    if (ReadCounts(main_, &now.record_count, &now.next_id) == code::kOk && now.size >= 0 &&
        now != *main_state_) {
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
