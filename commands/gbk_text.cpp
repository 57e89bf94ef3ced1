#include "commands/gbk_text.h"

#include <algorithm>
#include <cstring>

namespace commands {

namespace {

char FoldAscii(char byte) {
  return byte >= 'A' && byte <= 'Z' ? static_cast<char>(byte + 32) : byte;
}

// Folding applies to every byte alone, trail bytes included, as the C library's
// case-insensitive comparison does.
bool EqualFolded(const char* a, const char* b, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
  }
  return true;
}

}  // namespace

std::string SubstituteText(std::string_view text, const Substitution& substitution) {
  const std::string_view find = substitution.find;
  const size_t start = substitution.start > 1 ? static_cast<size_t>(substitution.start) - 1 : 0;
  int32_t count = substitution.count;
  if (text.empty() || find.empty() || start >= text.size() || count == 0) {
    return std::string(text);
  }

  std::string out;
  out.reserve(text.size());
  size_t pos = start;
  size_t copied = 0;  // text[copied, pos) is still to be copied to `out`
  const char first = find.front();
  const char first_folded = FoldAscii(first);
  while (text.size() - pos >= find.size()) {
    const char* here = text.data() + pos;
    const bool match =
        substitution.case_sensitive
            ? *here == first && std::memcmp(here, find.data(), find.size()) == 0
            : FoldAscii(*here) == first_folded && EqualFolded(here, find.data(), find.size());
    if (match) {
      out.append(text, copied, pos - copied);
      out.append(substitution.replacement);
      pos += find.size();
      copied = pos;
      // Any negative count means all; a positive one runs out.
      if (count > 0 && --count == 0) break;
    } else if (IsLeadByte(*here)) {
      if (pos + 1 == text.size()) {
        // A lead byte without its trail byte: the broken character is dropped.
        out.append(text, copied, pos - copied);
        copied = pos = text.size();
        break;
      }
      pos += 2;
    } else {
      pos += 1;
    }
  }
  out.append(text, copied);
  return out;
}

std::string_view MidText(std::string_view text, int32_t start, int32_t length) {
  const int64_t offset = int64_t{start} - 1;
  if (offset < 0 || offset >= static_cast<int64_t>(text.size()) || length <= 0) return {};
  return text.substr(static_cast<size_t>(offset), static_cast<size_t>(length));
}

int32_t CharCode(std::string_view text, int32_t position) {
  const int64_t offset = int64_t{position} - 1;
  // Past the end by one is the terminating NUL, which reads as 0.
  if (offset < 0 || offset >= static_cast<int64_t>(text.size())) return 0;
  return static_cast<signed char>(text[static_cast<size_t>(offset)]);
}

int32_t CharCode(const char* text, int32_t position) {
  const int64_t offset = int64_t{position} - 1;
  if (offset < 0) return 0;
  // Within the text exactly when no NUL comes before the offset; the NUL itself reads as 0.
  if (std::memchr(text, 0, static_cast<size_t>(offset)) != nullptr) return 0;
  return static_cast<signed char>(text[offset]);
}

std::string_view TrimLeadingSpaces(std::string_view text) {
  size_t pos = 0;
  while (pos < text.size()) {
    if (text[pos] == ' ') {
      pos += 1;
    } else if (text.substr(pos, 2) == kFullWidthSpace) {
      pos += 2;
    } else {
      break;
    }
  }
  return text.substr(pos);
}

int32_t CompareTexts(std::string_view a, std::string_view b) {
  const int order = a.compare(b);  // char_traits<char> compares as unsigned char
  return order < 0 ? -1 : (order > 0 ? 1 : 0);
}

size_t FileNameOffset(std::string_view gbk_path) {
  size_t name = 0;
  for (size_t pos = 0; pos < gbk_path.size();) {
    const char byte = gbk_path[pos];
    if (IsLeadByte(byte)) {
      pos += 2;
    } else {
      pos += 1;
      if (byte == '\\' || byte == '/') name = pos;
    }
  }
  return name;
}

}  // namespace commands
