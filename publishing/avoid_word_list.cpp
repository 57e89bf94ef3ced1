#include "publishing/avoid_word_list.h"

#include <unordered_set>

#include "platform/core/code_page.h"
#include "publishing/character_classes.h"
#include "publishing/text_lines.h"

namespace publishing {
namespace {

constexpr char16_t kReplacement = u'\uFFFD';

// UTF-8 → UTF-16; each maximal invalid sequence (a stray continuation byte, an overlong form, a
// surrogate, a value past U+10FFFF, a cut sequence) becomes U+FFFD and clears `*valid`.
std::u16string DecodeUtf8(std::string_view bytes, bool* valid) {
  std::u16string out;
  out.reserve(bytes.size());
  *valid = true;
  size_t i = 0;
  while (i < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    if (lead < 0x80) {
      out.push_back(lead);
      ++i;
      continue;
    }
    size_t length = 0;
    char32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
      code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      code = lead & 0x07;
    }
    // The second byte's range shuts out overlong forms, surrogates and values past U+10FFFF.
    unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
    unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
    size_t taken = 1;
    for (; taken < length && i + taken < bytes.size(); ++taken) {
      const auto c = static_cast<unsigned char>(bytes[i + taken]);
      if (c < low || c > high) break;
      code = (code << 6) | (c & 0x3F);
      low = 0x80;
      high = 0xBF;
    }
    if (length != 0 && taken == length) {
      AppendCodePoint(out, code);
    } else {
      out.push_back(kReplacement);
      *valid = false;
    }
    i += taken;
  }
  return out;
}

std::u16string DecodeUtf16(std::string_view bytes, bool big_endian) {
  std::u16string out;
  out.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    out.push_back(static_cast<char16_t>(big_endian ? first << 8 | second : second << 8 | first));
  }
  return out;
}

std::u16string DecodeWordList(std::string_view bytes) {
  if (bytes.starts_with("\xFF\xFE")) return DecodeUtf16(bytes.substr(2), false);
  if (bytes.starts_with("\xFE\xFF")) return DecodeUtf16(bytes.substr(2), true);
  bool valid = true;
  if (bytes.starts_with("\xEF\xBB\xBF")) return DecodeUtf8(bytes.substr(3), &valid);
  std::u16string text = DecodeUtf8(bytes, &valid);
  return valid ? text : platform::GbkToUtf16(bytes);
}

}  // namespace

std::vector<std::u16string> ReadAvoidWordList(std::string_view file_bytes) {
  const std::u16string text = DecodeWordList(file_bytes);
  std::vector<std::u16string> words;
  std::unordered_set<std::u16string_view> seen;
  ForEachLine(text, [&](std::u16string_view line) {
    line = TrimBlanks(line);
    if (line.empty() || line.front() == u'#' || !seen.insert(line).second) return;
    words.emplace_back(line);
  });
  return words;
}

}  // namespace publishing
