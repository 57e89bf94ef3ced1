#pragma once

#include <cstddef>
#include <string_view>

// The lines of a chapter as the desk and the clipboard hand them over.

namespace publishing {

// Calls `line(std::u16string_view)` for every line of `text`, in order, without its break. A
// break is "\r\n", "\n", "\r", U+2028 or U+2029, each one break, so n breaks make n + 1 lines
// (a text ending in a break ends in an empty line).
template <typename LineFunction>
void ForEachLine(std::u16string_view text, LineFunction&& line) {
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c != u'\n' && c != u'\r' && c != u'\u2028' && c != u'\u2029') continue;
    line(text.substr(start, i - start));
    if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
    start = i + 1;
  }
  line(text.substr(start));
}

}  // namespace publishing
