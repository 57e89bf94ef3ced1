#include "commands/full_width.h"

#include "commands/gbk_text.h"

namespace commands {

namespace {

// The ASCII byte for the two-byte character lead, trail; 0 when it has none.
char AsciiFor(unsigned char lead, unsigned char trail) {
  if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE) return static_cast<char>(trail - 0x80);
  if (lead == 0xA1) {
    switch (trail) {
      case 0xA1:
        return ' ';
      case 0xAB:
        return '~';
      case 0xEE:
      case 0xEF:
        return '*';
      default:
        break;
    }
  }
  return 0;
}

std::string Normalize(std::string_view text, bool drop_spaces) {
  std::string out;
  out.reserve(text.size());
  for (size_t pos = 0; pos < text.size();) {
    const char byte = text[pos];
    if (IsLeadByte(byte) && pos + 1 < text.size()) {
      const char ascii =
          AsciiFor(static_cast<unsigned char>(byte), static_cast<unsigned char>(text[pos + 1]));
      if (ascii == 0) {
        out.append(text, pos, 2);
      } else if (!(drop_spaces && ascii == ' ')) {
        out.push_back(ascii);
      }
      pos += 2;
    } else {
      if (!(drop_spaces && byte == ' ')) out.push_back(byte);
      pos += 1;
    }
  }
  return out;
}

}  // namespace

std::string NormalizeFullWidth(std::string_view text) { return Normalize(text, false); }

std::string NormalizeFullWidthDroppingSpaces(std::string_view text) {
  return Normalize(text, true);
}

}  // namespace commands
