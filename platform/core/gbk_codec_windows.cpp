// GB18030 through the system's code pages: 54936 (GB18030) where the system has it, else 936
// (GBK) for the one- and two-byte characters. The four-byte sequences of characters beyond
// U+FFFF follow one formula, computed here on either code page; those of the other characters
// outside GBK need 54936's tables (a system with 936 only, such as Wine 8, cannot convert them).
#include <windows.h>

#include "platform/core/gbk_codec.h"

namespace platform::gbk_codec {
namespace {

UINT CodePage() {
  static const UINT code_page = IsValidCodePage(54936) ? 54936 : 936;
  return code_page;
}

constexpr char32_t kFirstSupplementary = 0x10000;
// The four-byte sequence 90 30 81 30 is U+10000; each step of the last byte is one code point.
constexpr uint32_t kSupplementaryBase = ((0x90 - 0x81) * 10 * 126 * 10);

bool IsFourByteTrail(unsigned char byte) { return byte >= 0x30 && byte <= 0x39; }
bool IsLead(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

// The length of the one- or two-byte character at the front of `gbk`, or 0 when the front is
// something else (0x80, 0xFF, a four-byte sequence, a lone lead byte at the end).
size_t ShortCharacterLength(std::string_view gbk) {
  const auto lead = static_cast<unsigned char>(gbk[0]);
  if (lead < 0x80) return 1;
  if (!IsLead(lead) || gbk.size() < 2 || IsFourByteTrail(static_cast<unsigned char>(gbk[1]))) {
    return 0;
  }
  return 2;
}

// Decodes `run` (one- and two-byte characters only) whole, or returns false.
bool DecodeShort(std::string_view run, std::u32string& out) {
  wchar_t wide[256];
  if (run.size() > 256) return false;
  const int count = MultiByteToWideChar(CodePage(), MB_ERR_INVALID_CHARS, run.data(),
                                        static_cast<int>(run.size()), wide, 256);
  if (count <= 0) return false;
  out.append(wide, wide + count);  // two-byte characters all lie in the basic plane
  return true;
}

// GB18030 spells "€" A2 E3 too, where code page 936 has a private-use character.
bool IsSecondEuro(std::string_view gbk) {
  return CodePage() == 936 && gbk.substr(0, 2) == "\xA2\xE3";
}

// Decodes a run of one- and two-byte characters; returns the bytes decoded.
size_t DecodeShortRun(std::string_view run, std::u32string& out) {
  size_t done = 0;
  // Pieces of up to 256 bytes in one call each; a piece the system refuses goes character by
  // character to find where it stops.
  while (done < run.size()) {
    size_t end = done;
    while (end < run.size() && end - done < 254) end += ShortCharacterLength(run.substr(end));
    if (DecodeShort(run.substr(done, end - done), out)) {
      done = end;
      continue;
    }
    while (done < end) {
      const size_t length = ShortCharacterLength(run.substr(done));
      if (!DecodeShort(run.substr(done, length), out)) return done;
      done += length;
    }
  }
  return done;
}

bool DecodeFourByte(std::string_view gbk, std::u32string& out) {
  if (gbk.size() < 4) return false;
  const auto* b = reinterpret_cast<const unsigned char*>(gbk.data());
  if (!IsLead(b[0]) || !IsFourByteTrail(b[1]) || !IsLead(b[2]) || !IsFourByteTrail(b[3])) {
    return false;
  }
  const uint32_t linear =
      (((b[0] - 0x81) * 10u + (b[1] - 0x30)) * 126u + (b[2] - 0x81)) * 10u + (b[3] - 0x30);
  if (linear >= kSupplementaryBase) {
    const char32_t code = kFirstSupplementary + (linear - kSupplementaryBase);
    if (code > 0x10FFFF) return false;
    out.push_back(code);
    return true;
  }
  if (CodePage() != 54936) return false;
  wchar_t wide[2];
  const int count = MultiByteToWideChar(54936, MB_ERR_INVALID_CHARS, gbk.data(), 4, wide, 2);
  if (count != 1) return false;
  out.push_back(wide[0]);
  return true;
}

void AppendFourByte(char32_t code, std::string& out) {
  uint32_t linear = kSupplementaryBase + (code - kFirstSupplementary);
  char bytes[4];
  bytes[3] = static_cast<char>(0x30 + linear % 10);
  linear /= 10;
  bytes[2] = static_cast<char>(0x81 + linear % 126);
  linear /= 126;
  bytes[1] = static_cast<char>(0x30 + linear % 10);
  bytes[0] = static_cast<char>(0x81 + linear / 10);
  out.append(bytes, 4);
}

// Encodes `run` (basic-plane characters) whole, or returns false.
bool EncodeBasic(std::u32string_view run, std::string& out) {
  std::wstring wide(run.begin(), run.end());
  char bytes[1024];
  if (run.size() > 256) return false;
  BOOL substituted = FALSE;
  // Code page 54936 maps every character and takes neither flags nor a substitute.
  const bool gb18030 = CodePage() == 54936;
  const int count = WideCharToMultiByte(CodePage(), gb18030 ? 0 : WC_NO_BEST_FIT_CHARS, wide.data(),
                                        static_cast<int>(wide.size()), bytes, sizeof bytes, nullptr,
                                        gb18030 ? nullptr : &substituted);
  if (count <= 0 || substituted) return false;
  out.append(bytes, static_cast<size_t>(count));
  return true;
}

// Encodes a run of basic-plane characters; returns the characters encoded.
size_t EncodeBasicRun(std::u32string_view run, std::string& out) {
  size_t done = 0;
  while (done < run.size()) {
    const std::u32string_view piece = run.substr(done, 256);
    if (EncodeBasic(piece, out)) {
      done += piece.size();
      continue;
    }
    for (size_t i = 0; i < piece.size(); ++i, ++done) {
      if (!EncodeBasic(piece.substr(i, 1), out)) return done;
    }
  }
  return done;
}

}  // namespace

size_t DecodePrefix(std::string_view gbk, std::u32string& out) {
  size_t done = 0;
  while (done < gbk.size()) {
    size_t end = done;
    while (end < gbk.size() && !IsSecondEuro(gbk.substr(end))) {
      const size_t length = ShortCharacterLength(gbk.substr(end));
      if (length == 0) break;
      end += length;
    }
    if (end > done) {
      const size_t decoded = DecodeShortRun(gbk.substr(done, end - done), out);
      done += decoded;
      if (done < end) return done;
      continue;
    }
    if (IsSecondEuro(gbk.substr(done))) {
      out.push_back(0x20AC);
      done += 2;
      continue;
    }
    if (!DecodeFourByte(gbk.substr(done), out)) return done;
    done += 4;
  }
  return done;
}

size_t EncodePrefix(std::u32string_view text, std::string& out) {
  size_t done = 0;
  while (done < text.size()) {
    if (text[done] >= kFirstSupplementary) {
      AppendFourByte(text[done], out);
      ++done;
      continue;
    }
    size_t end = done;
    while (end < text.size() && text[end] < kFirstSupplementary) ++end;
    const size_t encoded = EncodeBasicRun(text.substr(done, end - done), out);
    done += encoded;
    if (done < end) return done;
  }
  return done;
}

}  // namespace platform::gbk_codec
