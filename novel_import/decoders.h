#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// The three readers behind Decode and DetectEncoding (encoding.h). Each walks its bytes once and
// either writes UTF-16 or, given no output, only counts what it could not decode, so that the
// detection and the decoding cannot disagree about which sequence is bad.
//
// A reader writes at most one UTF-16 unit per input byte (for UTF-16 input, one per two bytes
// and one for an odd last byte): an output of bytes.size() units always has room. A byte order
// mark is not the readers' business; it is removed by the caller.

namespace novel_import::decoders {

struct Walk {
  size_t written = 0;         // UTF-16 units written (0 without an output)
  int64_t undecodable = 0;    // sequences that became U+FFFD, the cut-off tail included
  bool cut_off_tail = false;  // the last of them is a character the end of the bytes cut off
  bool stopped = false;       // the walk gave up after more than `give_up_after` undecodable
};

// UTF-8. An invalid sequence becomes one U+FFFD per maximal invalid run (a lead byte and the
// continuation bytes that may follow it), so an ASCII byte after a broken lead survives.
Walk WalkUtf8(std::string_view bytes, char16_t* out, int64_t give_up_after);

// UTF-16 in the given byte order. A lone surrogate becomes U+FFFD; so does an odd last byte.
Walk WalkUtf16(std::string_view bytes, bool big_endian, char16_t* out, int64_t give_up_after);

// GB18030 through the platform's converter (platform/core/gbk_codec.h); the lone byte 0x80 is
// "€" as in code page 936. A lead byte the converter stops at becomes one U+FFFD together with
// the byte after it when that is a trail byte (0x40..0x7E, 0x80..0xFE), alone otherwise. The
// first one, two or three bytes of a four-byte character at the very end are one U+FFFD.
Walk WalkGb18030(std::string_view bytes, char16_t* out, int64_t give_up_after);

}  // namespace novel_import::decoders
