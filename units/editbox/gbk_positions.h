#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>
#include <string>

namespace units {

// The program sees an edit box's text as GBK bytes, and positions in it count bytes; the
// widget counts UTF-16 units. A multi-line box gives back every line break as it was
// written: its "\n" is "\r\n" (two bytes), a lone LF is U+2028 there and a lone CR "\r"
// (see EditControl). So a chapter holding a lone LF or CR keeps it, and its length, when it
// is read back and saved. (A U+2028 written as its four GB18030 bytes reads back as LF.)
struct GbkPositions {
  bool crlf_lines = false;

  // The GBK text of `text`.
  std::string Encode(QStringView text) const;
  // Encode's bytes added at the end of `gbk` (whose room is kept: a caller encoding many
  // pieces reuses one string).
  void AppendEncoded(QStringView text, std::string* gbk) const;
  // `gbk` as the widget holds it (in a multi-line box "\r\n" becomes "\n", a lone "\n"
  // U+2028).
  QString Decode(const std::string& gbk) const;

  // The number of bytes `text` takes.
  int64_t ByteLength(QStringView text) const;
  // The widget index of byte `offset` of `text`; an offset inside a character gives that
  // character's start, one past the end gives the length.
  int32_t IndexOfOffset(QStringView text, int64_t offset) const;

 private:
  // Writes the GBK text of `text` from `at`, which has room for four bytes per UTF-16 unit,
  // and answers the end of what it wrote.
  char* EncodeInto(QStringView text, char* at) const;
};

}  // namespace units
