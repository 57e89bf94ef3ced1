#ifndef INKSTONE_PLATFORM_CORE_FILE_SEARCH_H_
#define INKSTONE_PLATFORM_CORE_FILE_SEARCH_H_

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Attribute bits, in the platform's layout.
inline constexpr uint32_t kAttributeReadOnly = 0x01;   // no write permission
inline constexpr uint32_t kAttributeHidden = 0x02;     // the name starts with "."
inline constexpr uint32_t kAttributeDirectory = 0x10;  // a folder

struct FoundEntry {
  std::string name;     // GBK, without the folder
  uint32_t attributes;  // 0 for a plain writable file
};

// Lists the entries of one folder whose names match a mask.
//
//   FileSearch search;
//   if (search.Start(folder + "\\*.txt")) {
//     while (auto entry = search.Next()) { ... }
//   }
class FileSearch {
 public:
  // `gbk_pattern` is a folder path and a last component that may hold the wildcards "*" (any run
  // of characters) and "?" (exactly one GBK character); ASCII letters match case-insensitively,
  // and "*.*" matches every name. Returns true when at least one entry matches, false when none
  // does or the folder cannot be read. Entries come in byte order of their GBK names; "." and ".."
  // never come. A new Start discards the previous search.
  bool Start(std::string_view gbk_pattern);
  // The next matching entry, or nullopt when there are no more.
  std::optional<FoundEntry> Next();
  void Close();

 private:
  std::vector<FoundEntry> entries_;
  size_t next_ = 0;
};

// True when `name` matches the wildcard mask `mask`, both GBK (see FileSearch::Start).
bool MatchesMask(std::string_view gbk_name, std::string_view gbk_mask);

}  // namespace platform

#endif  // INKSTONE_PLATFORM_CORE_FILE_SEARCH_H_
