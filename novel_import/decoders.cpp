#include "novel_import/decoders.h"

#include <cstring>
#include <string>

#include "platform/core/gbk_codec.h"

namespace novel_import::decoders {
namespace {

constexpr char16_t kReplacement = 0xFFFD;
constexpr char16_t kEuro = 0x20AC;
constexpr unsigned char kEuroByte = 0x80;
// How many bytes the converter is handed at a time: its output (four bytes per code point) then
// stays a small buffer, whatever the size of the file.
constexpr size_t kConverterWindow = 64 * 1024;

// Writes `code` (a scalar value) at `put` and returns the position after it.
char16_t* Put(char32_t code, char16_t* put) {
  if (code < 0x10000) {
    *put++ = static_cast<char16_t>(code);
  } else {
    code -= 0x10000;
    *put++ = static_cast<char16_t>(0xD800 + (code >> 10));
    *put++ = static_cast<char16_t>(0xDC00 + (code & 0x3FF));
  }
  return put;
}

// Counts one undecodable sequence (writing U+FFFD where there is an output); false once more
// than `give_up_after` have been counted.
bool Undecodable(Walk* walk, char16_t** put, int64_t give_up_after) {
  if (*put != nullptr) *(*put)++ = kReplacement;
  ++walk->undecodable;
  if (walk->undecodable > give_up_after) walk->stopped = true;
  return !walk->stopped;
}

bool IsGbTrail(unsigned char byte) {
  return (byte >= 0x40 && byte <= 0x7E) || (byte >= 0x80 && byte <= 0xFE);
}

bool IsGbLead(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

bool IsGbDigit(unsigned char byte) { return byte >= 0x30 && byte <= 0x39; }

// Whether `rest` (what is left at the end of the bytes) is the start of a GB18030 character that
// the end cut off: a lead byte alone, or the first two or three bytes of a four-byte character.
bool IsCutOffGb(std::string_view rest) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(rest[i]); };
  switch (rest.size()) {
    case 1:
      return IsGbLead(byte(0));
    case 2:
      return IsGbLead(byte(0)) && IsGbDigit(byte(1));
    case 3:
      return IsGbLead(byte(0)) && IsGbDigit(byte(1)) && IsGbLead(byte(2));
    default:
      return false;
  }
}

}  // namespace

Walk WalkUtf8(std::string_view bytes, char16_t* out, int64_t give_up_after) {
  Walk walk;
  char16_t* put = out;
  const auto* at = reinterpret_cast<const unsigned char*>(bytes.data());
  const auto* const end = at + bytes.size();
  while (at < end) {
    const unsigned char lead = *at;
    if (lead < 0x80) {
      if (put != nullptr) *put++ = lead;
      ++at;
      // The rest of a run of ASCII eight bytes at a time: an English novel's text, a Chinese
      // one's line breaks.
      while (end - at >= 8) {
        uint64_t eight;
        std::memcpy(&eight, at, sizeof eight);
        if ((eight & 0x8080808080808080ull) != 0) break;
        if (put != nullptr) {
          for (int i = 0; i < 8; ++i) *put++ = at[i];
        }
        at += 8;
      }
      continue;
    }
    // Three bytes whose lead allows any continuation (every hanzi and full-width mark): the
    // bulk of a Chinese text, taken without the range checks below.
    if (((lead >= 0xE1 && lead <= 0xEC) || lead >= 0xEE) && lead <= 0xEF && end - at >= 3 &&
        (at[1] & 0xC0) == 0x80 && (at[2] & 0xC0) == 0x80) {
      if (put != nullptr) {
        *put++ =
            static_cast<char16_t>(((lead & 0x0F) << 12) | ((at[1] & 0x3F) << 6) | (at[2] & 0x3F));
      }
      at += 3;
      continue;
    }
    int length;
    char32_t code;
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
      code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      code = lead & 0x07;
    } else {
      ++at;
      if (!Undecodable(&walk, &put, give_up_after)) break;
      continue;
    }
    // The second byte's range shuts out overlong forms, surrogates and values past U+10FFFF.
    unsigned char low = 0x80, high = 0xBF;
    if (lead == 0xE0) low = 0xA0;
    if (lead == 0xED) high = 0x9F;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;
    int taken = 1;
    for (; taken < length && at + taken < end; ++taken) {
      const unsigned char next = at[taken];
      if (next < low || next > high) break;
      code = (code << 6) | (next & 0x3F);
      low = 0x80;
      high = 0xBF;
    }
    at += taken;
    if (taken == length) {
      if (put != nullptr) put = Put(code, put);
      continue;
    }
    walk.cut_off_tail = at == end;
    if (!Undecodable(&walk, &put, give_up_after)) break;
  }
  if (out != nullptr) walk.written = static_cast<size_t>(put - out);
  return walk;
}

Walk WalkUtf16(std::string_view bytes, bool big_endian, char16_t* out, int64_t give_up_after) {
  Walk walk;
  char16_t* put = out;
  const auto* const data = reinterpret_cast<const unsigned char*>(bytes.data());
  const size_t units = bytes.size() / 2;
  const auto unit = [&](size_t i) -> char16_t {
    const unsigned char first = data[2 * i], second = data[2 * i + 1];
    return static_cast<char16_t>(big_endian ? (first << 8) | second : (second << 8) | first);
  };
  for (size_t i = 0; i < units; ++i) {
    const char16_t c = unit(i);
    if (c < 0xD800 || c > 0xDFFF) {
      if (put != nullptr) *put++ = c;
      continue;
    }
    if (c <= 0xDBFF && i + 1 < units) {
      const char16_t low = unit(i + 1);
      if (low >= 0xDC00 && low <= 0xDFFF) {
        if (put != nullptr) {
          *put++ = c;
          *put++ = low;
        }
        ++i;
        continue;
      }
    }
    if (!Undecodable(&walk, &put, give_up_after)) break;
  }
  if (!walk.stopped && bytes.size() % 2 != 0) {
    walk.cut_off_tail = true;
    Undecodable(&walk, &put, give_up_after);
  }
  if (out != nullptr) walk.written = static_cast<size_t>(put - out);
  return walk;
}

Walk WalkGb18030(std::string_view bytes, char16_t* out, int64_t give_up_after) {
  Walk walk;
  char16_t* put = out;
  std::u32string decoded;
  decoded.reserve(kConverterWindow);
  size_t at = 0;
  while (at < bytes.size()) {
    const std::string_view window = bytes.substr(at, kConverterWindow);
    const size_t window_end = at + window.size();
    decoded.clear();
    at += platform::gbk_codec::DecodePrefix(window, decoded);
    if (put != nullptr) {
      for (const char32_t code : decoded) put = Put(code, put);
    }
    if (at == window_end) continue;
    // A character the window cut in two is read whole at the start of the next one.
    if (window_end < bytes.size() && window_end - at < 4) continue;
    // The converter stopped at a byte it cannot read: code page 936's "€", a character cut off
    // by the end of the file, or an undecodable sequence.
    const auto lead = static_cast<unsigned char>(bytes[at]);
    if (lead == kEuroByte || lead < 0x80) {
      if (put != nullptr) *put++ = lead == kEuroByte ? kEuro : lead;
      ++at;
      continue;
    }
    if (IsCutOffGb(bytes.substr(at))) {
      walk.cut_off_tail = true;
      Undecodable(&walk, &put, give_up_after);
      break;
    }
    const bool with_trail = at + 1 < bytes.size() && IsGbLead(lead) &&
                            IsGbTrail(static_cast<unsigned char>(bytes[at + 1]));
    at += with_trail ? 2 : 1;
    if (!Undecodable(&walk, &put, give_up_after)) break;
  }
  if (out != nullptr) walk.written = static_cast<size_t>(put - out);
  return walk;
}

}  // namespace novel_import::decoders
