#pragma once

#include <QString>
#include <ostream>
#include <string>
#include <string_view>

#include "novel_import/encoding.h"
#include "platform/core/code_page.h"

// The files the tests import, made from a text in each encoding, and how GoogleTest shows the
// values they compare.

inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace novel_import {

inline void PrintTo(Encoding encoding, std::ostream* out) {
  *out << EncodingName(encoding).toStdString();
}

namespace test_files {

inline std::string Utf8(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())).toStdString();
}

inline std::string Gbk(std::u16string_view text) { return platform::Utf16ToGbk(text); }

// UTF-16 in the given byte order, with its byte order mark when `mark`.
inline std::string Utf16(std::u16string_view text, bool big_endian, bool mark = true) {
  std::string bytes;
  const auto put = [&](char16_t unit) {
    const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
    bytes += big_endian ? std::string{high, low} : std::string{low, high};
  };
  if (mark) put(0xFEFF);
  for (const char16_t unit : text) put(unit);
  return bytes;
}

}  // namespace test_files
}  // namespace novel_import
