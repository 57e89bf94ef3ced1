#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Operations on GBK texts (code page 936) that the text commands are built from. A byte of 0x80
// or above is the lead byte of a two-byte character and the byte after it belongs to the same
// character. Positions are 1-based and count bytes; a two-byte character occupies two positions.

namespace commands {

inline bool IsLeadByte(char byte) { return static_cast<unsigned char>(byte) >= 0x80; }

// The full-width space, 0xA1 0xA1.
inline constexpr std::string_view kFullWidthSpace = "\xA1\xA1";

struct Substitution {
  std::string_view find;         // nothing is substituted when empty
  std::string_view replacement;  // may be empty: the found texts are removed
  int32_t start = 1;             // position where the search begins; below 1 counts as 1
  int32_t count = -1;            // how many to substitute: -1 (or any negative) all, 0 none
  bool case_sensitive = true;    // false folds ASCII letters only, byte by byte
};

// `text` with the occurrences of `find` at or after `start` replaced. A match is looked for only
// at character boundaries: a character that does not match is skipped whole, so the trail byte
// of a two-byte character never starts a match. A lead byte that ends the text without its trail
// byte, once the search reaches it, ends the search and is dropped.
std::string SubstituteText(std::string_view text, const Substitution& substitution);

// The piece of `length` bytes at `start` (cut short at the end of the text); empty when `start`
// lies outside the text or `length` is below 1. The cut is by bytes and may split a character.
std::string_view MidText(std::string_view text, int32_t start, int32_t length);

// The byte at `position`, sign-extended: 0..127 for ASCII, -128..-1 for the bytes of two-byte
// characters, 0 just past the end and outside the text.
int32_t CharCode(std::string_view text, int32_t position);
// The same for a NUL-terminated text. Only the bytes up to `position` are looked at, so a walk
// through a long text does not measure the whole text at every step.
int32_t CharCode(const char* text, int32_t position);

// `text` without its leading ASCII and full-width spaces; trailing blanks stay.
std::string_view TrimLeadingSpaces(std::string_view text);

// -1, 0 or 1: `a` against `b` compared as unsigned bytes.
int32_t CompareTexts(std::string_view a, std::string_view b);

// The offset just past the last path separator ("\" or "/") that starts a character, 0 when
// there is none. A trail byte 0x5C is not a separator.
size_t FileNameOffset(std::string_view gbk_path);

}  // namespace commands
