#include "units/editbox/gbk_positions.h"

#include "platform/core/code_page.h"

namespace units {

namespace {

std::u16string_view View(QStringView text) {
  return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size())};
}

// Bytes of the character starting at `text[i]`, and how many UTF-16 units it spans.
int32_t CharacterBytes(QStringView text, qsizetype i, bool crlf, qsizetype* units) {
  const char16_t unit = text[i].unicode();
  *units = 1;
  if (unit < 0x80) return unit == '\n' && crlf ? 2 : 1;
  // The ideographs every chapter is made of are all two-byte GBK characters.
  if (unit >= 0x4E00 && unit <= 0x9FA5) return 2;
  if (QChar::isHighSurrogate(unit) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
    *units = 2;
    return 4;  // outside the basic plane: a four-byte GB18030 sequence
  }
  return static_cast<int32_t>(platform::Utf16ToGbk(View(text.mid(i, 1))).size());
}

}  // namespace

std::string GbkPositions::Encode(QStringView text) const {
  if (!crlf_lines || !text.contains(u'\n')) return platform::Utf16ToGbk(View(text));
  QString lines = text.toString();
  lines.replace(u'\n', QStringLiteral("\r\n"));
  return platform::Utf16ToGbk(View(lines));
}

QString GbkPositions::Decode(const std::string& gbk) const {
  QString text = QString::fromStdU16String(platform::GbkToUtf16(gbk));
  if (crlf_lines && text.contains(u'\r')) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
  }
  return text;
}

int64_t GbkPositions::ByteLength(QStringView text) const {
  int64_t bytes = 0;
  qsizetype units = 1;
  for (qsizetype i = 0; i < text.size(); i += units) bytes += CharacterBytes(text, i, crlf_lines, &units);
  return bytes;
}

int32_t GbkPositions::IndexOfOffset(QStringView text, int64_t offset) const {
  int64_t bytes = 0;
  qsizetype units = 1;
  for (qsizetype i = 0; i < text.size(); i += units) {
    bytes += CharacterBytes(text, i, crlf_lines, &units);
    if (bytes > offset) return static_cast<int32_t>(i);
  }
  return static_cast<int32_t>(text.size());
}

}  // namespace units
