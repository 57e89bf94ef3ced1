#ifndef INKSTONE_PLATFORM_CORE_CODE_PAGE_H_
#define INKSTONE_PLATFORM_CORE_CODE_PAGE_H_

#include <string>
#include <string_view>

// Conversions between the system's GBK texts and Unicode at the edges (file names, widgets, typed
// input). Encoding uses GB18030, the superset of GBK: every GBK byte sequence is unchanged, and a
// character outside GBK (a rare name character, an emoji) becomes a 4-byte sequence instead of
// being lost. As in code page 936, the lone byte 0x80 is "€" (U+20AC), and "€" encodes back to
// 0x80.
//
// None of these functions fails: a GBK byte that cannot be decoded becomes U+FFFD, invalid UTF-8 or
// UTF-16 (a stray continuation byte, an overlong form, a lone surrogate) becomes "?". All are safe
// to call from several threads at once.

namespace platform {

std::string GbkToUtf8(std::string_view gbk);
std::string Utf8ToGbk(std::string_view utf8);
std::u16string GbkToUtf16(std::string_view gbk);
std::string Utf16ToGbk(std::u16string_view utf16);

// GBK → code points, one per GBK character (for matching character by character).
std::u32string GbkToUtf32(std::string_view gbk);

}  // namespace platform

#endif  // INKSTONE_PLATFORM_CORE_CODE_PAGE_H_
