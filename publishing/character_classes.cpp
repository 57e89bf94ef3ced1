#include "publishing/character_classes.h"

namespace publishing {
namespace {

bool IsHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

bool IsFullWidthFormPunctuation(char32_t c) {
  return (c >= 0xFF01 && c <= 0xFF0F) || (c >= 0xFF1A && c <= 0xFF20) ||
         (c >= 0xFF3B && c <= 0xFF40) || (c >= 0xFF5B && c <= 0xFF65);
}

bool IsCjkSymbolOrPunctuation(char32_t c) { return c >= 0x3001 && c <= 0x303F && c != 0x3007; }

}  // namespace

bool IsBlank(char32_t c) {
  return c == ' ' || c == '\t' || c == 0x3000 || c == 0xA0 || (c >= 0x2000 && c <= 0x200A) ||
         c == 0x202F || c == 0x205F || c == 0xFEFF;
}

bool IsLineBreak(char32_t c) { return c == '\n' || c == '\r' || c == 0x2028 || c == 0x2029; }

bool IsIdeograph(char32_t c) {
  return (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF) ||
         (c >= 0xF900 && c <= 0xFAFF) || (c >= 0x20000 && c <= 0x3FFFF) || c == 0x3007;
}

bool IsChinesePunctuation(char32_t c) {
  return IsCjkSymbolOrPunctuation(c) || IsFullWidthFormPunctuation(c) || c == 0x2018 ||
         c == 0x2019 || c == 0x201C || c == 0x201D || c == 0x2026 || c == 0x2014 || c == 0xB7 ||
         (c >= 0xFE10 && c <= 0xFE1F) || (c >= 0xFE30 && c <= 0xFE4F);
}

bool IsPunctuation(char32_t c) {
  if (c < 0x80) return c >= 0x21 && c <= 0x7E && !IsAsciiAlphanumeric(c);
  if (c < 0x100) {
    return c == 0xA1 || c == 0xA7 || c == 0xAB || c == 0xB6 || c == 0xB7 || c == 0xBB || c == 0xBF;
  }
  return (c >= 0x2010 && c <= 0x2027) || (c >= 0x2030 && c <= 0x205E) ||
         IsCjkSymbolOrPunctuation(c) || (c >= 0xFE10 && c <= 0xFE1F) ||
         (c >= 0xFE30 && c <= 0xFE6F) || IsFullWidthFormPunctuation(c);
}

bool IsUncounted(char32_t c) {
  return c < 0x20 || (c >= 0x7F && c <= 0x9F) || (c >= 0x300 && c <= 0x36F) ||
         (c >= 0x200B && c <= 0x200D) || (c >= 0x2060 && c <= 0x2064) ||
         (c >= 0x20D0 && c <= 0x20FF) || (c >= 0xFE00 && c <= 0xFE0F) ||
         (c >= 0xFE20 && c <= 0xFE2F) || (c >= 0x1F3FB && c <= 0x1F3FF) ||
         (c >= 0xE0000 && c <= 0xE007F) || (c >= 0xE0100 && c <= 0xE01EF);
}

char32_t CodePointAt(std::u16string_view text, size_t i, size_t* units) {
  const char16_t c = text[i];
  if (IsHighSurrogate(c) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
    *units = 2;
    return 0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (text[i + 1] - 0xDC00);
  }
  *units = 1;
  return c;
}

void AppendCodePoint(std::u16string& out, char32_t c) {
  if (c < 0x10000) {
    out.push_back(static_cast<char16_t>(c));
  } else {
    c -= 0x10000;
    out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
    out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
  }
}

size_t CountCodePoints(std::u16string_view text) {
  size_t count = 0;
  for (size_t i = 0, units = 0; i < text.size(); i += units) {
    CodePointAt(text, i, &units);
    ++count;
  }
  return count;
}

std::u16string_view TrimBlanks(std::u16string_view text) {
  // Every blank lies in the BMP, so the ends can be looked at unit by unit.
  size_t begin = 0, end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

}  // namespace publishing
