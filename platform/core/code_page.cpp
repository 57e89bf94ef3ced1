#include "platform/core/code_page.h"

#include <algorithm>
#include <cstdint>

#include "platform/core/gbk_codec.h"

namespace platform {
namespace {

constexpr char32_t kEuro = 0x20AC;
constexpr unsigned char kEuroByte = 0x80;
constexpr char32_t kReplacement = 0xFFFD;  // for undecodable GBK bytes
constexpr char32_t kQuestion = '?';        // for invalid UTF-8 / UTF-16

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool IsAscii(std::u16string_view text) {
  return std::all_of(text.begin(), text.end(), [](char16_t c) { return c < 0x80; });
}

// GBK/GB18030 bytes → code points.
std::u32string DecodeGbk(std::string_view gbk) {
  std::u32string out;
  out.reserve(gbk.size());
  while (!gbk.empty()) {
    gbk.remove_prefix(gbk_codec::DecodePrefix(gbk, out));
    if (gbk.empty()) break;
    // The converter stopped at an invalid sequence or a truncated one at the end.
    const auto lead = static_cast<unsigned char>(gbk[0]);
    size_t skip = 1;
    if (lead < 0x80) {
      out.push_back(lead);
    } else if (lead == kEuroByte) {
      out.push_back(kEuro);
    } else {
      // A lead byte with a well-formed but unmapped trail byte is one bad character; otherwise
      // only the lead byte is dropped, so that an ASCII byte after it survives.
      if (gbk.size() >= 2 && lead <= 0xFE) {
        const auto trail = static_cast<unsigned char>(gbk[1]);
        if ((trail >= 0x40 && trail <= 0x7E) || (trail >= 0x80 && trail <= 0xFE)) skip = 2;
      }
      out.push_back(kReplacement);
    }
    gbk.remove_prefix(skip);
  }
  return out;
}

// Code points (all valid scalar values) → GB18030 bytes, "€" as the lone 0x80.
std::string EncodeGbk(std::u32string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  while (!text.empty()) {
    if (text.front() == kEuro) {
      out.push_back(static_cast<char>(kEuroByte));
      text.remove_prefix(1);
      continue;
    }
    std::u32string_view run = text.substr(0, text.find(kEuro));
    text.remove_prefix(run.size());
    while (!run.empty()) {
      run.remove_prefix(gbk_codec::EncodePrefix(run, out));
      if (run.empty()) break;
      // A code point the converter does not map.
      out.push_back(run.front() < 0x80 ? static_cast<char>(run.front()) : static_cast<char>(kQuestion));
      run.remove_prefix(1);
    }
  }
  return out;
}

// UTF-8 → code points. Each maximal invalid subsequence becomes one "?".
std::u32string DecodeUtf8(std::string_view utf8) {
  std::u32string out;
  out.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    if (lead < 0x80) {
      out.push_back(lead);
      ++i;
      continue;
    }
    size_t length;
    char32_t code;
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
      code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      code = lead & 0x07;
    } else {
      out.push_back(kQuestion);
      ++i;
      continue;
    }
    // The second byte's range excludes overlong forms, surrogates and values past U+10FFFF.
    unsigned char low = 0x80, high = 0xBF;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
    size_t taken = 1;
    for (; taken < length && i + taken < utf8.size(); ++taken) {
      const auto c = static_cast<unsigned char>(utf8[i + taken]);
      if (c < low || c > high) break;
      code = (code << 6) | (c & 0x3F);
      low = 0x80;
      high = 0xBF;
    }
    out.push_back(taken == length ? code : kQuestion);
    i += taken;
  }
  return out;
}

// UTF-16 → code points. A lone surrogate becomes "?".
std::u32string DecodeUtf16(std::u16string_view utf16) {
  std::u32string out;
  out.reserve(utf16.size());
  for (size_t i = 0; i < utf16.size(); ++i) {
    const char16_t c = utf16[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
        utf16[i + 1] <= 0xDFFF) {
      out.push_back(0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) +
                    (utf16[i + 1] - 0xDC00));
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      out.push_back(kQuestion);
    } else {
      out.push_back(c);
    }
  }
  return out;
}

std::string EncodeUtf8(std::u32string_view text) {
  std::string out;
  out.reserve(text.size() * 3);
  for (char32_t c : text) {
    if (c < 0x80) {
      out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (c >> 6)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (c >> 12)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (c >> 18)));
      out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
  }
  return out;
}

std::u16string EncodeUtf16(std::u32string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (char32_t c : text) {
    if (c < 0x10000) {
      out.push_back(static_cast<char16_t>(c));
    } else {
      c -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    }
  }
  return out;
}

}  // namespace

std::string GbkToUtf8(std::string_view gbk) {
  if (IsAscii(gbk)) return std::string(gbk);
  return EncodeUtf8(DecodeGbk(gbk));
}

std::string Utf8ToGbk(std::string_view utf8) {
  if (IsAscii(utf8)) return std::string(utf8);
  return EncodeGbk(DecodeUtf8(utf8));
}

std::u16string GbkToUtf16(std::string_view gbk) {
  if (IsAscii(gbk)) return std::u16string(gbk.begin(), gbk.end());
  return EncodeUtf16(DecodeGbk(gbk));
}

std::u32string GbkToUtf32(std::string_view gbk) { return DecodeGbk(gbk); }

std::string Utf16ToGbk(std::u16string_view utf16) {
  if (IsAscii(utf16)) {
    std::string out(utf16.size(), '\0');
    std::transform(utf16.begin(), utf16.end(), out.begin(),
                   [](char16_t c) { return static_cast<char>(c); });
    return out;
  }
  return EncodeGbk(DecodeUtf16(utf16));
}

}  // namespace platform
