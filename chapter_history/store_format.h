#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// The version store's file: a header, then entries appended one after the other. An entry is
// written whole and flushed before the next; one cut short by a crash or a power cut fails its
// checksum and is dropped with everything after it that does not read as entries.
//
// Header (16 bytes):
//   0    8   magic "INKHIST\x1a"
//   8    4   format version, 1; anything else is refused
//   12   4   zero
//
// Entry (16-byte head, then its payload):
//   0    4   magic "VENT"
//   4    4   payload length in bytes
//   8    4   CRC-32 of bytes 12 … 16 + length (the kind, the zeros and the payload)
//   12   1   kind (EntryKind)
//   13   3   zero
//   16   …   payload
//
// Version payload (kVersion):
//   0    4   chapter: the id of the chapter's record in the chapter database (never reused)
//   4    8   time: seconds since 1970-01-01 UTC
//   12   8   characters, as the desk counts them (for the list; not used to read the text)
//   20   8   FNV-1a hash of name + text, to skip a version that changes nothing
//   28   4   name bytes (as the record holds them)
//   32   4   text bytes
//   36   1   reason (VersionReason)
//   37   1   coding: 0 whole, 1 against the chapter's version before it in the file
//   38   2   zero
//   40   …   one zstd frame of the name's bytes followed by the text's
//
// Moved payload (kMoved): the versions of a chapter now belong to another record (a deleted
// chapter brought back as a new one):
//   0    4   from chapter
//   4    4   to chapter
//
// Thinned payload (kThinned): written first into a store that thinning rewrote:
//   0    8   time of the thinning
namespace chapter_history {

inline constexpr std::string_view kFileMagic{"INKHIST\x1a", 8};
inline constexpr uint32_t kFormatVersion = 1;
inline constexpr size_t kFileHeaderSize = 16;

inline constexpr uint32_t kEntryMagic = 0x544E4556;  // "VENT" read as a little-endian word
inline constexpr size_t kEntryHeadSize = 16;
inline constexpr size_t kEntryLengthOffset = 4;
inline constexpr size_t kEntryChecksumOffset = 8;
inline constexpr size_t kEntryKindOffset = 12;
// An entry longer than this is taken for damage, not read (a chapter is far smaller).
inline constexpr uint32_t kLongestPayload = 256u << 20;

enum class EntryKind : uint8_t { kVersion = 1, kMoved = 2, kThinned = 3 };

inline constexpr size_t kVersionChapterOffset = 0;
inline constexpr size_t kVersionTimeOffset = 4;
inline constexpr size_t kVersionCharactersOffset = 12;
inline constexpr size_t kVersionHashOffset = 20;
inline constexpr size_t kVersionNameBytesOffset = 28;
inline constexpr size_t kVersionTextBytesOffset = 32;
inline constexpr size_t kVersionReasonOffset = 36;
inline constexpr size_t kVersionCodingOffset = 37;
inline constexpr size_t kVersionFrameOffset = 40;

inline constexpr size_t kMovedPayloadSize = 8;
inline constexpr size_t kThinnedPayloadSize = 8;

enum class Coding : uint8_t { kWhole = 0, kAgainstPrevious = 1 };

}  // namespace chapter_history
