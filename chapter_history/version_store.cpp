#include "chapter_history/version_store.h"

#include <algorithm>
#include <cstring>
#include <span>
#include <utility>

#include "chapter_history/store_format.h"
#include "chapter_history/thinning.h"
#include "chapter_history/version_codec.h"
#include "commands/file_replacement.h"
#include "platform/core/file_system.h"

namespace chapter_history {

namespace {

using platform::Disposition;
using platform::FileAccess;
using platform::ShareMode;

// A chain of versions coded against the one before is cut by a whole version this often, so
// that reading any version decodes at most this many frames.
constexpr size_t kLongestChain = 16;

template <typename T>
T Load(std::string_view bytes, size_t offset) {
  T value{};
  std::memcpy(&value, bytes.data() + offset, sizeof value);  // the file is little-endian, as x86
  return value;
}

template <typename T>
void Store(std::string* bytes, size_t offset, T value) {
  std::memcpy(bytes->data() + offset, &value, sizeof value);
}

std::string FileHeader() {
  std::string header(kFileHeaderSize, '\0');
  std::memcpy(header.data(), kFileMagic.data(), kFileMagic.size());
  Store<uint32_t>(&header, 8, kFormatVersion);
  return header;
}

// The entry's head and payload, checksummed.
std::string EntryBytes(uint8_t kind, std::string_view payload) {
  std::string entry(kEntryHeadSize, '\0');
  Store<uint32_t>(&entry, 0, kEntryMagic);
  Store<uint32_t>(&entry, kEntryLengthOffset, static_cast<uint32_t>(payload.size()));
  entry[kEntryKindOffset] = static_cast<char>(kind);
  entry.append(payload);
  const uint32_t crc = Crc32(std::string_view(entry).substr(kEntryKindOffset));
  Store<uint32_t>(&entry, kEntryChecksumOffset, crc);
  return entry;
}

bool KnownReason(uint8_t reason) {
  return reason >= static_cast<uint8_t>(VersionReason::kLeft) &&
         reason <= static_cast<uint8_t>(VersionReason::kBeforeReplace);
}

// A name for the copy of a damaged store, beside it, that no earlier copy has.
std::string SetAsidePath(const std::string& path) {
  for (int n = 1;; ++n) {
    const std::string candidate = path + ".damaged-" + std::to_string(n);
    if (!platform::FileExists(candidate)) return candidate;
  }
}

}  // namespace

std::unique_ptr<VersionStore> VersionStore::Open(std::string_view gbk_path, OpenReport* report) {
  *report = {};
  std::unique_ptr<VersionStore> store(new VersionStore(std::string(gbk_path)));
  if (!platform::FileExists(store->path_)) return store->Create() ? std::move(store) : nullptr;
  if (!store->OpenFile(true)) return nullptr;
  bool damaged = false;
  bool tail_torn = false;
  const bool is_store = store->ReadEntries(&damaged, &tail_torn, &report->versions_lost);
  if (is_store && !damaged) {
    // A torn last entry was never finished: the next entry goes where it began.
    if (tail_torn) {
      report->torn_tail_dropped = true;
      if (!store->file_.Truncate(store->end_) || !store->file_.Flush()) return nullptr;
    }
    return store;
  }
  // Not a store, or damaged inside: the file is kept aside as it is, and what could be read of
  // it becomes the new store.
  store->file_.Close();
  report->set_aside_path = SetAsidePath(store->path_);
  if (!platform::CopyFile(store->path_, report->set_aside_path, true)) return nullptr;
  if (!is_store) {
    store->chapters_.clear();
    return store->Create() ? std::move(store) : nullptr;
  }
  if (!store->OpenFile(false)) return nullptr;
  std::map<ChapterId, std::vector<size_t>> all;
  for (const auto& [chapter, versions] : store->chapters_) {
    for (size_t i = 0; i < versions.size(); ++i) all[chapter].push_back(i);
  }
  return store->Rewrite(all, store->last_thinned_) ? std::move(store) : nullptr;
}

std::unique_ptr<VersionStore> VersionStore::OpenToRead(std::string_view gbk_path,
                                                       OpenReport* report) {
  *report = {};
  std::unique_ptr<VersionStore> store(new VersionStore(std::string(gbk_path)));
  if (!store->OpenFile(false)) return nullptr;
  bool damaged = false;
  bool tail_torn = false;
  if (!store->ReadEntries(&damaged, &tail_torn, &report->versions_lost)) return nullptr;
  report->torn_tail_dropped = tail_torn;
  return store;
}

bool VersionStore::OpenFile(bool writable) {
  file_.Close();
  writable_ = writable;
  // Others may read it (the database tool) while the desk writes; no one else writes it.
  platform::FileResult opened = platform::File::Open(
      path_, writable ? FileAccess::kReadWrite : FileAccess::kRead,
      writable ? ShareMode::kDenyWrite : ShareMode::kDenyNone, Disposition::kOpenExisting);
  if (!opened.ok()) return false;
  file_ = std::move(*opened.file);
  return true;
}

bool VersionStore::Create() {
  const std::string header = FileHeader();
  const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(header.data()),
                                       header.size());
  const std::span<const uint8_t> pieces[] = {bytes};
  if (!commands::ReplaceFileContent(path_, pieces)) return false;
  end_ = static_cast<int64_t>(kFileHeaderSize);
  last_decoded_.reset();
  return OpenFile(true);
}

bool VersionStore::ReadPayload(int64_t offset, uint32_t bytes, std::string* payload) {
  payload->assign(bytes, '\0');
  return file_.ReadAt(offset, payload->data(), bytes) == static_cast<int64_t>(bytes);
}

bool VersionStore::ReadEntries(bool* damaged, bool* tail_torn, size_t* versions_lost) {
  const int64_t size = file_.Size();
  if (size < static_cast<int64_t>(kFileHeaderSize)) return false;
  // Read whole: a store is a few times a novel's size, and a search for the next entry after
  // damage goes byte by byte.
  std::string all(static_cast<size_t>(size), '\0');
  if (file_.ReadAt(0, all.data(), size) != size) return false;
  const std::string_view file(all);
  if (file.substr(0, kFileMagic.size()) != kFileMagic ||
      Load<uint32_t>(file, 8) != kFormatVersion) {
    return false;
  }
  chapters_.clear();
  // Versions whose chain back to a whole version broke at a damaged entry cannot be read.
  std::map<ChapterId, bool> chain_broken;
  std::string magic(4, '\0');
  Store<uint32_t>(&magic, 0, kEntryMagic);
  size_t offset = kFileHeaderSize;
  end_ = static_cast<int64_t>(offset);
  bool after_damage = false;
  while (offset < file.size()) {
    // An entry that does not read whole ends the good part of the file here; whether a whole
    // entry follows somewhere decides between a torn tail and damage.
    const std::string_view rest = file.substr(offset);
    bool good = rest.size() >= kEntryHeadSize && Load<uint32_t>(rest, 0) == kEntryMagic;
    const uint32_t length = good ? Load<uint32_t>(rest, kEntryLengthOffset) : 0;
    good = good && length <= kLongestPayload && rest.size() - kEntryHeadSize >= length &&
           Crc32(rest.substr(kEntryKindOffset, kEntryHeadSize - kEntryKindOffset + length)) ==
               Load<uint32_t>(rest, kEntryChecksumOffset);
    if (!good) {
      after_damage = true;
      const size_t next = file.find(magic, offset + 1);
      offset = next == std::string_view::npos ? file.size() : next;
      continue;
    }
    if (after_damage) {
      *damaged = true;
      after_damage = false;
      // Every chain running through the damage may have lost a link.
      for (const auto& [chapter, versions] : chapters_) chain_broken[chapter] = true;
    }
    const auto kind = static_cast<EntryKind>(rest[kEntryKindOffset]);
    const std::string_view payload = rest.substr(kEntryHeadSize, length);
    const size_t payload_offset = offset + kEntryHeadSize;
    offset = payload_offset + length;
    if (!*damaged) end_ = static_cast<int64_t>(offset);
    if (kind == EntryKind::kVersion && length >= kVersionFrameOffset &&
        KnownReason(static_cast<uint8_t>(payload[kVersionReasonOffset]))) {
      StoredVersion version;
      version.info.chapter = Load<int32_t>(payload, kVersionChapterOffset);
      version.info.time = Load<int64_t>(payload, kVersionTimeOffset);
      version.info.characters = Load<int64_t>(payload, kVersionCharactersOffset);
      version.info.reason = static_cast<VersionReason>(payload[kVersionReasonOffset]);
      version.info.name_bytes = Load<uint32_t>(payload, kVersionNameBytesOffset);
      version.info.text_bytes = Load<uint32_t>(payload, kVersionTextBytesOffset);
      version.hash = Load<uint64_t>(payload, kVersionHashOffset);
      version.offset = static_cast<int64_t>(payload_offset);
      version.payload_bytes = length;
      version.whole = payload[kVersionCodingOffset] == static_cast<char>(Coding::kWhole);
      const ChapterId chapter = version.info.chapter;
      if (version.whole) chain_broken[chapter] = false;
      if (chain_broken[chapter] || (!version.whole && chapters_[chapter].empty())) {
        // Lost, and with it every later version coded against it.
        ++*versions_lost;
        chain_broken[chapter] = true;
        continue;
      }
      chapters_[chapter].push_back(version);
    } else if (kind == EntryKind::kMoved && length == kMovedPayloadSize) {
      const ChapterId from = Load<int32_t>(payload, 0);
      const ChapterId to = Load<int32_t>(payload, 4);
      const auto found = chapters_.find(from);
      if (found != chapters_.end() && from != to) {
        VersionList moved = std::move(found->second);
        chapters_.erase(found);
        for (StoredVersion& version : moved) version.info.chapter = to;
        VersionList& target = chapters_[to];
        target.insert(target.begin(), moved.begin(), moved.end());
        chain_broken[to] = chain_broken[from];
      }
    } else if (kind == EntryKind::kThinned && length == kThinnedPayloadSize) {
      last_thinned_ = Load<int64_t>(payload, 0);
    }
  }
  if (after_damage && !*damaged) *tail_torn = true;
  return true;
}

bool VersionStore::AppendEntry(uint8_t kind, std::string_view payload) {
  if (!writable_) return false;
  const std::string entry = EntryBytes(kind, payload);
  const auto bytes = static_cast<int64_t>(entry.size());
  if (file_.WriteAt(end_, entry.data(), bytes) != bytes || !file_.Flush()) {
    // Whatever part of it reached the file is past the end kept here: the next entry goes over
    // it, and a reader takes what is left for a torn tail.
    file_.Truncate(end_);
    return false;
  }
  end_ += bytes;
  return true;
}

bool VersionStore::Decode(const VersionList& versions, size_t index, std::string* joined) {
  if (index >= versions.size()) return false;
  const ChapterId chapter = versions[index].info.chapter;
  if (last_decoded_ && last_decoded_->chapter == chapter && last_decoded_->index == index) {
    *joined = last_decoded_->joined;
    return true;
  }
  size_t first = index;
  while (!versions[first].whole) {
    if (first == 0) return false;
    --first;
  }
  // Decoding goes on from the last version decoded when it lies on the way (a thinning reads a
  // chapter's versions in order).
  std::string previous;
  if (last_decoded_ && last_decoded_->chapter == chapter && last_decoded_->index >= first &&
      last_decoded_->index < index) {
    previous = last_decoded_->joined;
    first = last_decoded_->index + 1;
  }
  std::string payload;
  for (size_t i = first; i <= index; ++i) {
    const StoredVersion& version = versions[i];
    if (!ReadPayload(version.offset, version.payload_bytes, &payload)) return false;
    const std::string_view frame = std::string_view(payload).substr(kVersionFrameOffset);
    const size_t size = size_t{version.info.name_bytes} + version.info.text_bytes;
    std::string bytes;
    if (!DecompressVersion(frame, version.whole ? std::string_view() : previous, size, &bytes)) {
      return false;
    }
    previous = std::move(bytes);
  }
  *joined = previous;
  last_decoded_ = Decoded{chapter, index, std::move(previous)};
  return true;
}

std::string VersionStore::VersionPayload(ChapterId chapter, const VersionText& version,
                                         uint64_t hash, int64_t time, VersionReason reason,
                                         int64_t characters, const VersionList& versions,
                                         bool* whole) {
  const std::string joined = version.name + version.text;
  // Against the chapter's newest version while the chain is short; whole otherwise, or when
  // the newest cannot be read.
  size_t chain = 0;
  for (size_t i = versions.size(); i-- > 0 && !versions[i].whole;) ++chain;
  std::string previous;
  *whole = versions.empty() || chain + 1 >= kLongestChain ||
           !Decode(versions, versions.size() - 1, &previous);
  const std::string frame = CompressVersion(joined, *whole ? std::string_view() : previous);
  if (frame.empty()) return {};
  std::string payload(kVersionFrameOffset, '\0');
  Store<int32_t>(&payload, kVersionChapterOffset, chapter);
  Store<int64_t>(&payload, kVersionTimeOffset, time);
  Store<int64_t>(&payload, kVersionCharactersOffset, characters);
  Store<uint64_t>(&payload, kVersionHashOffset, hash);
  Store<uint32_t>(&payload, kVersionNameBytesOffset, static_cast<uint32_t>(version.name.size()));
  Store<uint32_t>(&payload, kVersionTextBytesOffset, static_cast<uint32_t>(version.text.size()));
  payload[kVersionReasonOffset] = static_cast<char>(reason);
  payload[kVersionCodingOffset] =
      static_cast<char>(*whole ? Coding::kWhole : Coding::kAgainstPrevious);
  payload.append(frame);
  return payload;
}

bool VersionStore::Keep(ChapterId chapter, const VersionText& version, int64_t time,
                        VersionReason reason, int64_t characters) {
  if (version.name.size() + version.text.size() > kLongestPayload / 2) return false;
  const uint64_t hash = Fnv1a64(version.text, Fnv1a64(version.name) ^ version.name.size());
  VersionList& versions = chapters_[chapter];
  // A delete is kept even unchanged: the deleted chapters are listed by it.
  if (reason != VersionReason::kBeforeDelete && !versions.empty() && versions.back().hash == hash &&
      versions.back().info.name_bytes == version.name.size() &&
      versions.back().info.text_bytes == version.text.size()) {
    return true;
  }
  bool whole = true;
  const std::string payload =
      VersionPayload(chapter, version, hash, time, reason, characters, versions, &whole);
  const int64_t offset = end_ + static_cast<int64_t>(kEntryHeadSize);
  if (payload.empty() || !AppendEntry(static_cast<uint8_t>(EntryKind::kVersion), payload)) {
    if (versions.empty()) chapters_.erase(chapter);
    return false;
  }
  StoredVersion stored;
  stored.info = {chapter,
                 time,
                 characters,
                 reason,
                 static_cast<uint32_t>(version.name.size()),
                 static_cast<uint32_t>(version.text.size())};
  stored.hash = hash;
  stored.offset = offset;
  stored.payload_bytes = static_cast<uint32_t>(payload.size());
  stored.whole = whole;
  versions.push_back(stored);
  last_decoded_ = Decoded{chapter, versions.size() - 1, version.name + version.text};
  return true;
}

bool VersionStore::Move(ChapterId from, ChapterId to) {
  auto found = chapters_.find(from);
  if (found == chapters_.end() || from == to) return true;
  if (chapters_.count(to) != 0 && !chapters_[to].empty()) return false;
  std::string payload(kMovedPayloadSize, '\0');
  Store<int32_t>(&payload, 0, from);
  Store<int32_t>(&payload, 4, to);
  if (!AppendEntry(static_cast<uint8_t>(EntryKind::kMoved), payload)) return false;
  VersionList moved = std::move(found->second);
  chapters_.erase(found);
  for (StoredVersion& version : moved) version.info.chapter = to;
  chapters_[to] = std::move(moved);
  last_decoded_.reset();
  return true;
}

std::vector<ChapterId> VersionStore::Chapters() const {
  std::vector<ChapterId> chapters;
  for (const auto& [chapter, versions] : chapters_) {
    if (!versions.empty()) chapters.push_back(chapter);
  }
  return chapters;
}

std::vector<VersionInfo> VersionStore::Versions(ChapterId chapter) const {
  std::vector<VersionInfo> infos;
  const auto found = chapters_.find(chapter);
  if (found == chapters_.end()) return infos;
  for (const StoredVersion& version : found->second) infos.push_back(version.info);
  return infos;
}

bool VersionStore::Read(VersionHandle handle, VersionText* out) {
  const auto found = chapters_.find(handle.chapter);
  if (found == chapters_.end() || handle.index >= found->second.size()) return false;
  std::string joined;
  if (!Decode(found->second, handle.index, &joined)) return false;
  const StoredVersion& version = found->second[handle.index];
  out->name = joined.substr(0, version.info.name_bytes);
  out->text = joined.substr(version.info.name_bytes);
  return true;
}

size_t VersionStore::ThinnableVersions(int64_t now, int64_t utc_offset_seconds) const {
  size_t dropped = 0;
  for (const auto& [chapter, versions] : chapters_) {
    std::vector<int64_t> times;
    for (const StoredVersion& version : versions) times.push_back(version.info.time);
    const std::vector<bool> keep = VersionsToKeep(times, now, utc_offset_seconds);
    dropped += static_cast<size_t>(std::count(keep.begin(), keep.end(), false));
  }
  return dropped;
}

bool VersionStore::Thin(int64_t now, int64_t utc_offset_seconds) {
  std::map<ChapterId, std::vector<size_t>> kept;
  for (const auto& [chapter, versions] : chapters_) {
    std::vector<int64_t> times;
    for (const StoredVersion& version : versions) times.push_back(version.info.time);
    const std::vector<bool> keep = VersionsToKeep(times, now, utc_offset_seconds);
    for (size_t i = 0; i < keep.size(); ++i) {
      if (keep[i]) kept[chapter].push_back(i);
    }
  }
  return Rewrite(kept, now);
}

bool VersionStore::Rewrite(const std::map<ChapterId, std::vector<size_t>>& kept,
                           int64_t thinned_at) {
  // The new store is made in memory from what is kept, each version coded anew against the
  // version kept before it, then written over the old one through a temporary file.
  VersionStore fresh(path_);
  fresh.end_ = static_cast<int64_t>(kFileHeaderSize);
  std::string bytes = FileHeader();
  std::string payload(kThinnedPayloadSize, '\0');
  Store<int64_t>(&payload, 0, thinned_at);
  bytes += EntryBytes(static_cast<uint8_t>(EntryKind::kThinned), payload);
  fresh.end_ = static_cast<int64_t>(bytes.size());
  // The fresh store's versions are read back from `bytes` while it is made.
  std::map<ChapterId, std::string> newest;  // the newest kept version's bytes, per chapter
  for (const auto& [chapter, indexes] : kept) {
    const VersionList& versions = chapters_[chapter];
    VersionList& fresh_versions = fresh.chapters_[chapter];
    std::string previous;
    size_t chain = 0;
    for (const size_t index : indexes) {
      std::string joined;
      if (!Decode(versions, index, &joined)) continue;  // lost with the damage
      const StoredVersion& old = versions[index];
      const bool whole = fresh_versions.empty() || chain + 1 >= kLongestChain;
      chain = whole ? 0 : chain + 1;
      const std::string frame = CompressVersion(joined, whole ? std::string_view() : previous);
      if (frame.empty()) return false;
      std::string entry_payload(kVersionFrameOffset, '\0');
      Store<int32_t>(&entry_payload, kVersionChapterOffset, chapter);
      Store<int64_t>(&entry_payload, kVersionTimeOffset, old.info.time);
      Store<int64_t>(&entry_payload, kVersionCharactersOffset, old.info.characters);
      Store<uint64_t>(&entry_payload, kVersionHashOffset, old.hash);
      Store<uint32_t>(&entry_payload, kVersionNameBytesOffset, old.info.name_bytes);
      Store<uint32_t>(&entry_payload, kVersionTextBytesOffset, old.info.text_bytes);
      entry_payload[kVersionReasonOffset] = static_cast<char>(old.info.reason);
      entry_payload[kVersionCodingOffset] =
          static_cast<char>(whole ? Coding::kWhole : Coding::kAgainstPrevious);
      entry_payload.append(frame);
      StoredVersion stored = old;
      stored.offset = static_cast<int64_t>(bytes.size() + kEntryHeadSize);
      stored.payload_bytes = static_cast<uint32_t>(entry_payload.size());
      stored.whole = whole;
      fresh_versions.push_back(stored);
      bytes += EntryBytes(static_cast<uint8_t>(EntryKind::kVersion), entry_payload);
      previous = std::move(joined);
    }
    if (fresh_versions.empty()) fresh.chapters_.erase(chapter);
  }
  file_.Close();
  const std::span<const uint8_t> whole_file(reinterpret_cast<const uint8_t*>(bytes.data()),
                                            bytes.size());
  const std::span<const uint8_t> pieces[] = {whole_file};
  const bool replaced = commands::ReplaceFileContent(path_, pieces);
  if (!OpenFile(true)) return false;
  if (!replaced) return false;
  chapters_ = std::move(fresh.chapters_);
  end_ = static_cast<int64_t>(bytes.size());
  last_thinned_ = thinned_at;
  last_decoded_.reset();
  return true;
}

}  // namespace chapter_history
