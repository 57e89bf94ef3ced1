#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// A version's bytes compressed as one zstd frame, whole or against the version before it: that
// version serves as the frame's reference ("prefix"), so an unchanged paragraph costs a few
// bytes however long the chapter is.
namespace chapter_history {

// The frame of `bytes`, coded against `previous` when it is not empty. Empty on failure.
std::string CompressVersion(std::string_view bytes, std::string_view previous);
// The `size` bytes of `frame`, decoded against the same `previous`; false when the frame does
// not decode to exactly that many bytes (damage, or another reference).
bool DecompressVersion(std::string_view frame, std::string_view previous, size_t size,
                       std::string* bytes);

// CRC-32 (the polynomial of zip and PNG) of `bytes`, continuing from `crc`.
uint32_t Crc32(std::string_view bytes, uint32_t crc = 0);
// A 64-bit hash of `bytes` (FNV-1a over 8-byte words), to tell a changed version from an
// unchanged one.
uint64_t Fnv1a64(std::string_view bytes, uint64_t hash = 0xcbf29ce484222325ULL);

}  // namespace chapter_history
