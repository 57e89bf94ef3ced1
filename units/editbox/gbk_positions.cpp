#include "units/editbox/gbk_positions.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

#include "platform/core/code_page.h"
#include "platform/gui/gbk_qstring.h"

namespace units {

namespace {

std::u16string_view View(QStringView text) {
  return {reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size())};
}

// The GBK (GB18030) bytes of every character of the basic plane, made once with the
// platform's converter. A chapter is read whole after every key the author types, so
// its encoding must be a table walk, not a converter call.
class BasicPlaneTable {
 public:
  static const BasicPlaneTable& Instance() {
    static const auto* table = new BasicPlaneTable;
    return *table;
  }

  // Bytes of `unit` (not a surrogate) and their count, 1 to 4.
  uint32_t Bytes(char16_t unit) const { return bytes_[unit]; }
  int32_t Length(char16_t unit) const { return lengths_[unit]; }

 private:
  BasicPlaneTable() {
    std::u16string all;
    all.reserve(0x10000);
    for (uint32_t c = 0; c < 0x10000; ++c) {
      if (c < 0xD800 || c > 0xDFFF) all.push_back(static_cast<char16_t>(c));
    }
    const std::string gbk = platform::Utf16ToGbk(all);
    // GB18030 sequences delimit themselves: a byte outside 0x81-0xFE stands alone (code page
    // 936 writes U+20AC as 0x80 and U+F8F5 as 0xFF), a digit after a lead byte makes four
    // bytes, else two. Reading 0xFF as a lead shifted every character after U+F8F5 by one:
    // a full-width comma was written as the full-width hyphen after it.
    size_t at = 0;
    for (const char16_t c : all) {
      const auto byte = [&](size_t i) {
        return at + i < gbk.size() ? static_cast<uint8_t>(gbk[at + i]) : 0;
      };
      int32_t length = 1;
      if (byte(0) >= 0x81 && byte(0) <= 0xFE) length = byte(1) >= 0x30 && byte(1) <= 0x39 ? 4 : 2;
      uint32_t packed = 0;
      for (int32_t i = 0; i < length; ++i) packed |= static_cast<uint32_t>(byte(i)) << (8 * i);
      bytes_[c] = packed;
      lengths_[c] = static_cast<uint8_t>(length);
      at += static_cast<size_t>(length);
    }
    // Surrogates are never looked up alone; a lone one is written as "?".
    for (uint32_t c = 0xD800; c <= 0xDFFF; ++c) {
      bytes_[c] = '?';
      lengths_[c] = 1;
    }
  }

  std::array<uint32_t, 0x10000> bytes_{};
  std::array<uint8_t, 0x10000> lengths_{};
};

// How a multi-line box holds a lone LF.
constexpr char16_t kLoneLineFeed = 0x2028;

bool IsSurrogatePair(QStringView text, qsizetype i) {
  return text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
}

// Bytes of the character starting at `text[i]`, and how many UTF-16 units it spans.
int32_t CharacterBytes(QStringView text, qsizetype i, bool crlf, qsizetype* units) {
  const char16_t unit = text[i].unicode();
  *units = 1;
  if (unit < 0x80) return unit == '\n' && crlf ? 2 : 1;
  if (unit == kLoneLineFeed && crlf) return 1;
  if (IsSurrogatePair(text, i)) {
    *units = 2;
    return 4;  // outside the basic plane: a four-byte GB18030 sequence
  }
  return BasicPlaneTable::Instance().Length(unit);
}

}  // namespace

std::string GbkPositions::Encode(QStringView text) const {
  // A scratch buffer of the most room (left uninitialised) is filled in one pass and copied
  // out at its used length.
  const std::unique_ptr<char[]> buffer(new char[static_cast<size_t>(text.size()) * 4 + 1]);
  return std::string(buffer.get(), EncodeInto(text, buffer.get()));
}

void GbkPositions::AppendEncoded(QStringView text, std::string* gbk) const {
  const size_t before = gbk->size();
  gbk->resize(before + static_cast<size_t>(text.size()) * 4);
  char* const start = gbk->data() + before;
  gbk->resize(before + static_cast<size_t>(EncodeInto(text, start) - start));
}

char* GbkPositions::EncodeInto(QStringView text, char* at) const {
  const BasicPlaneTable& table = BasicPlaneTable::Instance();
  const qsizetype size = text.size();
  const char16_t* units = reinterpret_cast<const char16_t*>(text.utf16());
  for (qsizetype i = 0; i < size; ++i) {
    const char16_t unit = units[i];
    if (unit < 0x80) {
      if (unit == '\n' && crlf_lines) *at++ = '\r';
      *at++ = static_cast<char>(unit);
    } else if (unit == kLoneLineFeed && crlf_lines) {
      *at++ = '\n';
    } else if ((unit & 0xF800) != 0xD800) {
      // Little-endian packing puts the bytes in text order; the scratch buffer always has
      // four bytes of room, so the whole word is stored and the length decides the step.
      const uint32_t bytes = table.Bytes(unit);
      const uint8_t packed[4] = {static_cast<uint8_t>(bytes), static_cast<uint8_t>(bytes >> 8),
                                 static_cast<uint8_t>(bytes >> 16),
                                 static_cast<uint8_t>(bytes >> 24)};
      std::memcpy(at, packed, 4);
      at += table.Length(unit);
    } else if (IsSurrogatePair(text, i)) {
      const std::string pair = platform::Utf16ToGbk(View(text.mid(i, 2)));
      at = std::copy(pair.begin(), pair.end(), at);
      ++i;
    } else {
      *at++ = '?';
    }
  }
  return at;
}

QString GbkPositions::Decode(const std::string& gbk) const {
  QString text = gui::QStringOfGbk(gbk);
  if (!crlf_lines || !text.contains(u'\n')) return text;
  // Rewritten in place: the lines are never longer than the text. A lone "\r" stays as it is.
  char16_t* units = reinterpret_cast<char16_t*>(text.data());
  const qsizetype size = text.size();
  qsizetype kept = 0;
  for (qsizetype i = 0; i < size; ++i) {
    if (units[i] == u'\r' && i + 1 < size && units[i + 1] == u'\n') {
      units[kept++] = u'\n';
      ++i;
    } else if (units[i] == u'\n') {
      units[kept++] = kLoneLineFeed;
    } else {
      units[kept++] = units[i];
    }
  }
  text.truncate(kept);
  return text;
}

int64_t GbkPositions::ByteLength(QStringView text) const {
  const BasicPlaneTable& table = BasicPlaneTable::Instance();
  const char16_t* units = reinterpret_cast<const char16_t*>(text.utf16());
  int64_t bytes = 0;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t unit = units[i];
    if (unit < 0x80) {
      bytes += unit == '\n' && crlf_lines ? 2 : 1;
    } else if (unit == kLoneLineFeed && crlf_lines) {
      bytes += 1;
    } else if (IsSurrogatePair(text, i)) {
      bytes += 4;
      ++i;
    } else {
      bytes += table.Length(unit);
    }
  }
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
