#pragma once

#include <QString>
#include <QStringView>
#include <cstdint>
#include <string>

namespace units {

// The program sees an edit box's text as GBK bytes, and positions in it count bytes; the
// widget counts UTF-16 units. A multi-line box hands its line breaks out as "\r\n", so
// each "\n" of the widget is two bytes there.
struct GbkPositions {
  bool crlf_lines = false;

  // The GBK text of `text`.
  std::string Encode(QStringView text) const;
  // `gbk` as the widget holds it ("\r\n" and a lone "\r" become "\n" in a multi-line box).
  QString Decode(const std::string& gbk) const;

  // The number of bytes `text` takes.
  int64_t ByteLength(QStringView text) const;
  // The widget index of byte `offset` of `text`; an offset inside a character gives that
  // character's start, one past the end gives the length.
  int32_t IndexOfOffset(QStringView text, int64_t offset) const;
};

}  // namespace units
