#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/file.h"

// The earlier versions of every chapter, kept in one append-only file of their own beside the
// chapter database (layout in store_format.h). A version is the chapter's name and text, whole
// or as the change from the chapter's version before (compressed with zstd either way).
//
// Chapters are named by their record's id in the chapter database, which no other record ever
// gets and a pack keeps: a chapter deleted from the list keeps its versions under its id.
//
// Not thread-safe: one thread at a time (the desk's writer, or the window's once the writer
// is done). No Qt: the database tool reads it too.
namespace chapter_history {

using ChapterId = int32_t;

// Why a version was kept; shown in the history window.
enum class VersionReason : uint8_t {
  kLeft = 1,             // the author left the chapter (a switch, the close, the end)
  kWhileEditing = 2,     // ten minutes of editing since the last one
  kBeforeBigChange = 3,  // before a paste or deletion of many characters
  kBeforeDelete = 4,     // before the chapter was deleted
  kBeforeRestore = 5,    // the text a restore replaced
  kBeforeReplace = 6,    // before a replace across the novel, a layout pass or an import
};

struct VersionText {
  std::string name;  // bytes as the chapter's record holds them (GBK)
  std::string text;
};

struct VersionInfo {
  ChapterId chapter = 0;
  int64_t time = 0;  // seconds since 1970-01-01 UTC
  int64_t characters = 0;
  VersionReason reason = VersionReason::kLeft;
  uint32_t name_bytes = 0;
  uint32_t text_bytes = 0;
};

// Names a version while the store stays open (a thinning renames them all).
struct VersionHandle {
  ChapterId chapter = 0;
  size_t index = 0;  // in the chapter's versions, oldest first
};

// What opening found wrong, to tell the author once; empty when nothing.
struct OpenReport {
  // The store could not be read as one (not a store, or damaged inside): it was copied aside
  // to this path (GBK), and whatever could be read of it was kept in a new store.
  std::string set_aside_path;
  size_t versions_lost = 0;  // versions that could not be read back
  // A crash or power cut cut the last entry short: it was dropped (nothing to tell).
  bool torn_tail_dropped = false;
};

class VersionStore {
 public:
  // Opens the store at `gbk_path`, creating it when missing. A damaged store is set aside and a
  // new one made of what could be read (`report` says so). Null only when no store can be
  // written at the path at all (the folder missing or read-only, the disk full).
  static std::unique_ptr<VersionStore> Open(std::string_view gbk_path, OpenReport* report);
  // Reads a store without changing it (the database tool): damaged entries are skipped.
  static std::unique_ptr<VersionStore> OpenToRead(std::string_view gbk_path, OpenReport* report);

  VersionStore(const VersionStore&) = delete;
  VersionStore& operator=(const VersionStore&) = delete;

  // Appends a version of `chapter` and flushes it. A version equal to the chapter's newest (name
  // and text) is not kept again, unless it is kept before a delete: true without a write. False
  // when the disk did not take it (the store is as before).
  bool Keep(ChapterId chapter, const VersionText& version, int64_t time, VersionReason reason,
            int64_t characters);
  // The versions of `from` become those of `to` (a deleted chapter brought back as a new record);
  // `to` has none yet. Flushed. False when the disk did not take it.
  bool Move(ChapterId from, ChapterId to);

  // The chapters with versions, in id order.
  std::vector<ChapterId> Chapters() const;
  // A chapter's versions, oldest first.
  std::vector<VersionInfo> Versions(ChapterId chapter) const;
  // A version's name and text; false when it cannot be read back (the file changed under the
  // store, a read failed).
  bool Read(VersionHandle version, VersionText* out);

  // Rewrites the store with only the versions the thinning keeps (thinning.h) at `now`, through
  // a temporary file renamed over it: a crash leaves the old store or the new. False (and the
  // store as it was) when the disk did not take it.
  bool Thin(int64_t now, int64_t utc_offset_seconds);
  // How many versions a thinning at `now` would drop.
  size_t ThinnableVersions(int64_t now, int64_t utc_offset_seconds) const;
  // When the store was last thinned (0: never).
  int64_t last_thinned() const { return last_thinned_; }
  int64_t file_size() const { return end_; }
  // Why the last write or flush of the store that failed failed (kDiskFull: no room left).
  platform::FileError last_error() const { return file_.last_error(); }
  const std::string& path() const { return path_; }

 private:
  struct StoredVersion {
    VersionInfo info;
    uint64_t hash = 0;
    int64_t offset = 0;  // of the entry's payload
    uint32_t payload_bytes = 0;
    bool whole = true;
  };
  using VersionList = std::vector<StoredVersion>;

  explicit VersionStore(std::string path) : path_(std::move(path)) {}

  // Reads every entry from the header on; false when the file is not a store. Sets `damaged`
  // when an entry inside failed (a torn last entry is not damage: `tail_torn`).
  bool ReadEntries(bool* damaged, bool* tail_torn, size_t* versions_lost);
  bool ReadPayload(int64_t offset, uint32_t bytes, std::string* payload);
  bool AppendEntry(uint8_t kind, std::string_view payload);
  // Encodes `version` against the chapter's newest version (or whole) into a version payload.
  std::string VersionPayload(ChapterId chapter, const VersionText& version, uint64_t hash,
                             int64_t time, VersionReason reason, int64_t characters,
                             const VersionList& versions, bool* whole);
  // The name and text of `versions[index]`, decoding its chain from the last whole version.
  bool Decode(const VersionList& versions, size_t index, std::string* joined);
  // Writes a new store holding `kept` (per chapter, oldest first) and renames it into place.
  bool Rewrite(const std::map<ChapterId, std::vector<size_t>>& kept, int64_t thinned_at);
  bool Create();
  bool OpenFile(bool writable);

  std::string path_;
  platform::File file_;
  bool writable_ = false;
  int64_t end_ = 0;  // where the next entry goes: the end of the last whole entry
  int64_t last_thinned_ = 0;
  std::map<ChapterId, VersionList> chapters_;
  // The last version decoded or kept, so that the next version of a chapter is coded against
  // it without decoding its chain again.
  struct Decoded {
    ChapterId chapter = 0;
    size_t index = 0;
    std::string joined;  // name bytes then text bytes
  };
  std::optional<Decoded> last_decoded_;
};

}  // namespace chapter_history
