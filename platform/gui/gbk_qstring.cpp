#include "platform/gui/gbk_qstring.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "platform/core/code_page.h"

namespace gui {

namespace {

// The character of every two-byte GBK sequence (lead 0x81-0xFE, trail 0x40-0x7E or
// 0x80-0xFE), made once with the platform's converter: a chapter of millions of characters
// is decoded by a table walk instead of a converter call. 0 marks a sequence the table does
// not answer (unmapped, or outside the basic plane); the converter decodes those.
class TwoByteTable {
 public:
  static const TwoByteTable& Instance() {
    static const auto* table = new TwoByteTable;
    return *table;
  }

  // The character of `lead` `trail`, or 0.
  char16_t At(uint8_t lead, uint8_t trail) const {
    if (lead < kFirstLead || lead > kLastLead || trail < kFirstTrail || trail > kLastTrail) return 0;
    return characters_[Index(lead, trail)];
  }

 private:
  static constexpr uint8_t kFirstLead = 0x81, kLastLead = 0xFE;
  static constexpr uint8_t kFirstTrail = 0x40, kLastTrail = 0xFE;
  static constexpr size_t kTrails = kLastTrail - kFirstTrail + 1;
  static constexpr char16_t kReplacement = 0xFFFD;

  static size_t Index(uint8_t lead, uint8_t trail) {
    return (lead - kFirstLead) * kTrails + (trail - kFirstTrail);
  }

  TwoByteTable() {
    std::string all;
    for (int lead = kFirstLead; lead <= kLastLead; ++lead) {
      for (int trail = kFirstTrail; trail <= kLastTrail; ++trail) {
        if (trail == 0x7F) continue;
        all.push_back(static_cast<char>(lead));
        all.push_back(static_cast<char>(trail));
      }
    }
    // Every such pair decodes to exactly one character (an unmapped one to the replacement
    // character); should the converter ever differ, the table stays empty and answers nothing.
    const std::u32string decoded = platform::GbkToUtf32(all);
    if (decoded.size() * 2 != all.size()) return;
    for (size_t i = 0; i < decoded.size(); ++i) {
      const char32_t c = decoded[i];
      if (c == kReplacement || c > 0xFFFF || (c >= 0xD800 && c <= 0xDFFF)) continue;
      characters_[Index(static_cast<uint8_t>(all[2 * i]), static_cast<uint8_t>(all[2 * i + 1]))] =
          static_cast<char16_t>(c);
    }
  }

  std::array<char16_t, (kLastLead - kFirstLead + 1) * kTrails> characters_{};
};

constexpr char16_t kEuro = 0x20AC;

}  // namespace

QString QStringOfGbk(std::string_view gbk) {
  const TwoByteTable& table = TwoByteTable::Instance();
  // No byte decodes to more than one UTF-16 unit (a four-byte sequence gives at most two).
  QString text(static_cast<qsizetype>(gbk.size()), Qt::Uninitialized);
  char16_t* at = reinterpret_cast<char16_t*>(text.data());
  const auto* bytes = reinterpret_cast<const uint8_t*>(gbk.data());
  const size_t size = gbk.size();
  for (size_t i = 0; i < size;) {
    const uint8_t byte = bytes[i];
    if (byte < 0x80) {
      *at++ = byte;
      ++i;
      continue;
    }
    if (byte == 0x80) {  // code page 936's euro sign
      *at++ = kEuro;
      ++i;
      continue;
    }
    const char16_t character = i + 1 < size ? table.At(byte, bytes[i + 1]) : 0;
    if (character != 0) {
      *at++ = character;
      i += 2;
      continue;
    }
    // A four-byte sequence, an unmapped or broken one: the converter decodes up to the next
    // line feed, which no sequence contains, so its reading of the bytes is the same as if it
    // had been given the whole text.
    size_t end = gbk.find('\n', i);
    if (end == std::string_view::npos) end = size;
    const std::u16string piece = platform::GbkToUtf16(gbk.substr(i, end - i));
    at = std::copy(piece.begin(), piece.end(), at);
    i = end;
  }
  text.truncate(at - reinterpret_cast<const char16_t*>(text.constData()));
  return text;
}

std::string GbkOfQString(const QString& text) {
  return platform::Utf16ToGbk(std::u16string_view(
      reinterpret_cast<const char16_t*>(text.constData()), static_cast<size_t>(text.size())));
}

}  // namespace gui
