#include "platform/gui/gbk_chars.h"

#include <string>

#include "platform/core/code_page.h"
#include "platform/gui/gbk_qstring.h"

namespace gui {

std::vector<uint32_t> GbkCharCodes(const QString& text) {
  std::vector<uint32_t> codes;
  for (qsizetype i = 0; i < text.size();) {
    const qsizetype length = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
    const std::u16string one(reinterpret_cast<const char16_t*>(text.constData() + i),
                             static_cast<size_t>(length));
    const std::string gbk = platform::Utf16ToGbk(one);
    uint32_t code = 0;
    for (unsigned char byte : gbk) code = (code << 8) | byte;
    codes.push_back(code);
    i += length;
  }
  return codes;
}

QString TextOfGbkCharCode(uint64_t code) {
  std::string gbk;
  for (int shift = 24; shift >= 0; shift -= 8) {
    const auto byte = static_cast<char>((code >> shift) & 0xFF);
    if (byte != 0 || !gbk.empty() || shift == 0) gbk.push_back(byte);
  }
  return QStringOfGbk(gbk);
}

}  // namespace gui
