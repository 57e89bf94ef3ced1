#include "novel_import/encoding.h"

#include <QStringView>
#include <algorithm>
#include <cstring>
#include <limits>

#include "novel_import/decoders.h"

namespace novel_import {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";
constexpr char16_t kByteOrderMark = 0xFEFF;
constexpr int64_t kNever = std::numeric_limits<int64_t>::max();

Detection Found(Encoding encoding) { return {encoding, QString(), false}; }

Detection Refused(const char16_t* reason, bool forcible) {
  return {std::nullopt, QString::fromUtf16(reason), forcible};
}

Detection Empty() { return Refused(u"文件是空的", false); }

Detection NotText() { return Refused(u"文件不是文本（含有 NUL 字节）", false); }

bool HoldsNulUnit(std::string_view utf16) {
  for (size_t i = 0; i + 1 < utf16.size(); i += 2) {
    if (utf16[i] == 0 && utf16[i + 1] == 0) return true;
  }
  return false;
}

// A file with NUL bytes: UTF-16 without a mark when it reads as UTF-16 (an even length, no
// U+0000) and its line breaks are units in one byte order more than in the other ("\n" is 0A 00
// in little-endian order, 00 0A in big-endian). Anything else is not text.
Detection WithNulBytes(std::string_view bytes) {
  if (bytes.size() % 2 == 0 && !HoldsNulUnit(bytes)) {
    int64_t little = 0, big = 0;
    for (size_t i = 0; i < bytes.size(); i += 2) {
      if (bytes[i] == '\n' && bytes[i + 1] == 0) ++little;
      if (bytes[i] == 0 && bytes[i + 1] == '\n') ++big;
    }
    if (little != big) {
      return Refused(
          u"文件像是没有 BOM 的 UTF-16 文本，编码无法可靠识别（可以自己选择 UTF-16 LE 或 "
          u"UTF-16 BE）",
          true);
    }
  }
  return NotText();
}

// Undecodable sequences a file may have and still be read without asking the author: a few, or
// one per 10,000 bytes of a long file.
int64_t Allowance(std::string_view bytes) {
  return std::max<int64_t>(kFewUndecodable, static_cast<int64_t>(bytes.size() / 10000));
}

// What counts against reading a file in an encoding: its undecodable sequences, except a
// character the end of the file cut off.
int64_t Faults(const decoders::Walk& walk) {
  return walk.undecodable - (walk.cut_off_tail ? 1 : 0);
}

// Collapses CR LF and a lone CR into "\n" in place; returns the new length.
size_t NormaliseLineBreaks(char16_t* text, size_t length) {
  const qsizetype first =
      QStringView(text, static_cast<qsizetype>(length)).indexOf(QLatin1Char('\r'));
  if (first < 0) return length;
  char16_t* put = text + first;
  for (size_t i = static_cast<size_t>(first); i < length; ++i) {
    if (text[i] != u'\r') {
      *put++ = text[i];
    } else {
      *put++ = u'\n';
      if (i + 1 < length && text[i + 1] == u'\n') ++i;
    }
  }
  return static_cast<size_t>(put - text);
}

}  // namespace

Detection DetectEncoding(std::string_view bytes) {
  if (bytes.starts_with(kUtf8Mark)) {
    bytes.remove_prefix(kUtf8Mark.size());
    if (bytes.empty()) return Empty();
    if (std::memchr(bytes.data(), 0, bytes.size()) != nullptr) return NotText();
    return Found(Encoding::kUtf8Bom);
  }
  for (const auto& [mark, encoding] :
       {std::pair{kUtf16LeMark, Encoding::kUtf16Le}, std::pair{kUtf16BeMark, Encoding::kUtf16Be}}) {
    if (!bytes.starts_with(mark)) continue;
    bytes.remove_prefix(mark.size());
    if (bytes.empty()) return Empty();
    if (HoldsNulUnit(bytes)) return NotText();
    return Found(encoding);
  }
  if (bytes.empty()) return Empty();
  if (std::memchr(bytes.data(), 0, bytes.size()) != nullptr) return WithNulBytes(bytes);

  // Both readings stop counting once past what could still be accepted: a GBK file fails as
  // UTF-8 within its first lines.
  const int64_t allowance = Allowance(bytes);
  const int64_t as_utf8 = Faults(decoders::WalkUtf8(bytes, nullptr, allowance));
  if (as_utf8 == 0) return Found(Encoding::kUtf8);
  const int64_t as_gb = Faults(decoders::WalkGb18030(bytes, nullptr, allowance));
  if (as_gb == 0) return Found(Encoding::kGb18030);
  if (std::min(as_utf8, as_gb) <= allowance) {
    return Found(as_utf8 <= as_gb ? Encoding::kUtf8 : Encoding::kGb18030);
  }
  return Refused(u"无法识别文件的编码（既不是 UTF-8，也不是 GBK/GB18030）", true);
}

QString EncodingName(Encoding encoding) {
  switch (encoding) {
    case Encoding::kUtf8:
      return QStringLiteral("UTF-8");
    case Encoding::kUtf8Bom:
      return QStringLiteral("UTF-8（带 BOM）");
    case Encoding::kUtf16Le:
      return QStringLiteral("UTF-16 LE");
    case Encoding::kUtf16Be:
      return QStringLiteral("UTF-16 BE");
    case Encoding::kGb18030:
      return QStringLiteral("GBK/GB18030");
  }
  return QString();
}

QString Decode(std::string_view bytes, Encoding encoding, int64_t* undecodable) {
  // Room for the longest a reader can write; given back below when much of it is unused (a
  // Chinese UTF-8 text takes a third of it).
  QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
  auto* const out = reinterpret_cast<char16_t*>(text.data());
  decoders::Walk walk;
  switch (encoding) {
    case Encoding::kUtf8:
    case Encoding::kUtf8Bom:
      if (bytes.starts_with(kUtf8Mark)) bytes.remove_prefix(kUtf8Mark.size());
      walk = decoders::WalkUtf8(bytes, out, kNever);
      break;
    case Encoding::kUtf16Le:
    case Encoding::kUtf16Be: {
      const bool big_endian = encoding == Encoding::kUtf16Be;
      if (bytes.starts_with(big_endian ? kUtf16BeMark : kUtf16LeMark)) bytes.remove_prefix(2);
      walk = decoders::WalkUtf16(bytes, big_endian, out, kNever);
      break;
    }
    case Encoding::kGb18030:
      walk = decoders::WalkGb18030(bytes, out, kNever);
      break;
  }
  if (undecodable != nullptr) *undecodable = walk.undecodable;
  size_t length = walk.written;
  size_t start = length > 0 && out[0] == kByteOrderMark ? 1 : 0;
  if (start > 0) std::memmove(out, out + start, (length - start) * sizeof(char16_t));
  length = NormaliseLineBreaks(out, length - start);
  text.truncate(static_cast<qsizetype>(length));
  if (text.capacity() > text.size() + text.size() / 4) text.squeeze();
  return text;
}

}  // namespace novel_import
