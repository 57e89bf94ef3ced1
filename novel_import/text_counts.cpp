#include "novel_import/text_counts.h"

#include <bitset>
#include <string>

#include "platform/core/code_page.h"

namespace novel_import {
namespace {

// Which BMP characters GBK holds, found once by encoding every one of them with the desk's own
// converter and looking at the length of each encoded character: one or two bytes are GBK, four
// are GB18030's extension. A character the converter writes as "?" is not held either.
class GbkReach {
 public:
  GbkReach() {
    std::u16string all;
    all.reserve(0x10000);
    for (char32_t c = 0; c < 0x10000; ++c) {
      if (c < 0xD800 || c > 0xDFFF) all.push_back(static_cast<char16_t>(c));
    }
    const std::string bytes = platform::Utf16ToGbk(all);
    size_t at = 0;
    for (const char16_t c : all) {
      const auto lead = static_cast<unsigned char>(bytes[at]);
      size_t length = 1;
      if (lead >= 0x81 && lead <= 0xFE) {
        const auto second = static_cast<unsigned char>(bytes[at + 1]);
        length = second >= 0x30 && second <= 0x39 ? 4 : 2;
      }
      held_[c] = length <= 2 && !(lead == '?' && c != u'?');
      at += length;
    }
  }

  bool Holds(char16_t c) const { return held_[c]; }

 private:
  std::bitset<0x10000> held_;  // surrogates are never held
};

const GbkReach& Reach() {
  static const GbkReach reach;
  return reach;
}

}  // namespace

int64_t CharacterCount(QStringView text) {
  int64_t count = 0;
  for (const QChar c : text) {
    if (!c.isLowSurrogate() && !c.isSpace()) ++count;
  }
  return count;
}

int64_t OutsideGbk(QStringView text) {
  int64_t count = 0;
  const GbkReach* reach = nullptr;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i].unicode();
    // The common case without the table: ASCII and the unified ideographs GBK was made for.
    if (unit < 0x80 || (unit >= 0x4E00 && unit <= 0x9FA5)) continue;
    if (QChar::isSurrogate(unit)) {
      // A pair is one character beyond U+FFFF; a lone half is one that cannot be stored.
      if (QChar::isHighSurrogate(unit) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ++i;
      ++count;
      continue;
    }
    if (reach == nullptr) reach = &Reach();
    if (!reach->Holds(unit)) ++count;
  }
  return count;
}

}  // namespace novel_import
