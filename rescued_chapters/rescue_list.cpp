#include "rescued_chapters/rescue_list.h"

#include <array>
#include <charconv>
#include <span>

#include "commands/file_replacement.h"
#include "platform/core/file.h"
#include "platform/core/file_system.h"

namespace rescued_chapters {

namespace {

constexpr std::string_view kFirstLine = "inkstone rescued chapters 1";
constexpr std::string_view kLineEnd = "\r\n";
// A list of every chapter of a large novel stays far below this; a larger file is not ours.
constexpr int64_t kLargestFile = 4 << 20;

std::string Escaped(std::string_view field) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(field.size());
  for (const char c : field) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte != '%') {
      out += c;
      continue;
    }
    out += '%';
    out += kHex[byte >> 4];
    out += kHex[byte & 0xF];
  }
  return out;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<std::string> Unescaped(std::string_view field) {
  std::string out;
  out.reserve(field.size());
  for (size_t i = 0; i < field.size(); ++i) {
    if (field[i] != '%') {
      out += field[i];
      continue;
    }
    if (i + 2 >= field.size()) return std::nullopt;
    const int high = HexDigit(field[i + 1]);
    const int low = HexDigit(field[i + 2]);
    if (high < 0 || low < 0) return std::nullopt;
    out += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return out;
}

// Splits `line` at tabs into exactly `count` fields; nothing for another count.
std::optional<std::vector<std::string_view>> Fields(std::string_view line, size_t count) {
  std::vector<std::string_view> fields;
  size_t start = 0;
  for (;;) {
    const size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab == std::string_view::npos ? tab : tab - start));
    if (tab == std::string_view::npos) break;
    start = tab + 1;
  }
  if (fields.size() != count) return std::nullopt;
  return fields;
}

}  // namespace

void RescueList::Note(RescuedChapter chapter) {
  if (RescuedChapter* known = Find(chapter.record)) {
    *known = std::move(chapter);
    return;
  }
  chapters_.push_back(std::move(chapter));
}

void RescueList::Forget(int32_t record) {
  std::erase_if(chapters_, [record](const RescuedChapter& c) { return c.record == record; });
}

RescuedChapter* RescueList::Find(int32_t record) {
  for (RescuedChapter& chapter : chapters_) {
    if (chapter.record == record) return &chapter;
  }
  return nullptr;
}

std::string RescueList::ToFileBytes() const {
  std::string bytes(kFirstLine);
  bytes += kLineEnd;
  for (const RescuedChapter& chapter : chapters_) {
    bytes += std::to_string(chapter.record) + '\t' + Escaped(chapter.when) + '\t' +
             Escaped(chapter.rescue_path) + '\t' + Escaped(chapter.name);
    bytes += kLineEnd;
  }
  return bytes;
}

std::optional<RescueList> RescueList::FromFileBytes(std::string_view bytes) {
  size_t end = bytes.find(kLineEnd);
  if (end == std::string_view::npos || bytes.substr(0, end) != kFirstLine) return std::nullopt;
  RescueList list;
  for (size_t start = end + kLineEnd.size(); start < bytes.size(); start = end + kLineEnd.size()) {
    end = bytes.find(kLineEnd, start);
    if (end == std::string_view::npos) return std::nullopt;  // a line without its end
    const auto fields = Fields(bytes.substr(start, end - start), 4);
    if (!fields) return std::nullopt;
    RescuedChapter chapter;
    const std::string_view number = (*fields)[0];
    const auto [rest, error] =
        std::from_chars(number.data(), number.data() + number.size(), chapter.record);
    if (error != std::errc() || rest != number.data() + number.size() || chapter.record < 1)
      return std::nullopt;
    auto when = Unescaped((*fields)[1]);
    auto path = Unescaped((*fields)[2]);
    auto name = Unescaped((*fields)[3]);
    if (!when || !path || !name) return std::nullopt;
    chapter.when = std::move(*when);
    chapter.rescue_path = std::move(*path);
    chapter.name = std::move(*name);
    list.Note(std::move(chapter));
  }
  return list;
}

ListFileState ReadListFile(std::string_view gbk_path, RescueList* list) {
  platform::FileResult opened =
      platform::File::Open(gbk_path, platform::FileAccess::kRead, platform::ShareMode::kDenyWrite,
                           platform::Disposition::kOpenExisting);
  if (opened.error == platform::FileError::kNotFound ||
      opened.error == platform::FileError::kPathNotFound) {
    *list = RescueList{};
    return ListFileState::kMissing;
  }
  if (!opened.ok()) return ListFileState::kUnreadable;
  const int64_t size = opened.file->Size();
  if (size < 0) return ListFileState::kUnreadable;
  if (size > kLargestFile) return ListFileState::kDamaged;
  std::string bytes(static_cast<size_t>(size), '\0');
  if (opened.file->ReadAt(0, bytes.data(), size) != size) return ListFileState::kUnreadable;
  std::optional<RescueList> read = RescueList::FromFileBytes(bytes);
  if (!read) return ListFileState::kDamaged;
  *list = std::move(*read);
  return ListFileState::kRead;
}

bool WriteListFile(std::string_view gbk_path, const RescueList& list) {
  if (list.empty()) return platform::DeleteFile(gbk_path) || !platform::FileExists(gbk_path);
  const std::string bytes = list.ToFileBytes();
  const std::array pieces = {
      std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size())};
  return commands::ReplaceFileContent(gbk_path, std::span<const std::span<const uint8_t>>(pieces));
}

}  // namespace rescued_chapters
