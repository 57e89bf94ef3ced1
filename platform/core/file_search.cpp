#include "platform/core/file_search.h"

#include <algorithm>
#include <filesystem>

#include "platform/core/code_page.h"
#include "platform/core/native_path.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace fs = std::filesystem;

namespace platform {
namespace {

char32_t FoldCase(char32_t c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; }

bool Matches(std::u32string_view name, std::u32string_view mask) {
  size_t n = 0, m = 0;
  size_t star = std::u32string_view::npos;  // mask position just after the last "*" seen
  size_t star_name = 0;                     // name position that "*" was last tried to end at
  while (n < name.size()) {
    if (m < mask.size() && mask[m] == U'*') {
      star = ++m;
      star_name = n;
    } else if (m < mask.size() && (mask[m] == U'?' || FoldCase(mask[m]) == FoldCase(name[n]))) {
      ++m;
      ++n;
    } else if (star != std::u32string_view::npos) {
      m = star;  // let the last "*" swallow one more character
      n = ++star_name;
    } else {
      return false;
    }
  }
  while (m < mask.size() && mask[m] == U'*') ++m;
  return m == mask.size();
}

uint32_t AttributesOf(const fs::directory_entry& entry, std::string_view gbk_name) {
#ifdef _WIN32
  // The system keeps the attributes themselves, in this layout.
  (void)gbk_name;
  const DWORD attributes = GetFileAttributesW(entry.path().c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return 0;
  return attributes & (kAttributeReadOnly | kAttributeHidden | kAttributeDirectory);
#else
  std::error_code error;
  fs::file_status status = entry.status(error);
  if (error) status = entry.symlink_status(error);  // a dangling link
  uint32_t attributes = 0;
  if (fs::is_directory(status)) attributes |= kAttributeDirectory;
  if ((status.permissions() & fs::perms::owner_write) == fs::perms::none) {
    attributes |= kAttributeReadOnly;
  }
  if (!gbk_name.empty() && gbk_name.front() == '.') attributes |= kAttributeHidden;
  return attributes;
#endif
}

}  // namespace

bool MatchesMask(std::string_view gbk_name, std::string_view gbk_mask) {
  if (gbk_mask == "*.*") return true;
  return Matches(GbkToUtf32(gbk_name), GbkToUtf32(gbk_mask));
}

bool FileSearch::Start(std::string_view gbk_pattern) {
  Close();
  // Split on the decoded path: a GBK trail byte can be 0x5C.
  const fs::path pattern = FsPath(gbk_pattern);
  const fs::path folder = pattern.has_parent_path() ? pattern.parent_path() : fs::path(".");
  const std::string mask = GbkPathOf(pattern.filename());
  if (mask.empty()) return false;
  const bool all = mask == "*.*";
  const std::u32string mask_characters = GbkToUtf32(mask);

  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    std::string name = GbkPathOf(it->path().filename());
    if (!all && !Matches(GbkToUtf32(name), mask_characters)) continue;
    const uint32_t attributes = AttributesOf(*it, name);
    entries_.push_back({std::move(name), attributes});
  }
  std::sort(entries_.begin(), entries_.end(),
            [](const FoundEntry& a, const FoundEntry& b) { return a.name < b.name; });
  return !entries_.empty();
}

std::optional<FoundEntry> FileSearch::Next() {
  if (next_ >= entries_.size()) return std::nullopt;
  return entries_[next_++];
}

void FileSearch::Close() {
  entries_.clear();
  next_ = 0;
}

}  // namespace platform
