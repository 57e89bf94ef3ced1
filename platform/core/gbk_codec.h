#ifndef INKSTONE_PLATFORM_CORE_GBK_CODEC_H_
#define INKSTONE_PLATFORM_CORE_GBK_CODEC_H_

#include <cstddef>
#include <string>
#include <string_view>

// The system's GB18030 converter. code_page.cpp applies the rules for what it cannot convert
// (and for "€" ⇄ 0x80) around these two calls.

namespace platform::gbk_codec {

// Appends the code points of the longest prefix of `gbk` that the converter decodes and returns
// that prefix's length in bytes (0 when the first character cannot be decoded).
size_t DecodePrefix(std::string_view gbk, std::u32string& out);

// Appends the bytes of the longest prefix of `text` (valid scalar values without "€") that the
// converter maps and returns that prefix's length in code points.
size_t EncodePrefix(std::u32string_view text, std::string& out);

}  // namespace platform::gbk_codec

#endif  // INKSTONE_PLATFORM_CORE_GBK_CODEC_H_
