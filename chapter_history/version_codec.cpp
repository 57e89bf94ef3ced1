#include "chapter_history/version_codec.h"

#include <zstd.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>

namespace chapter_history {

namespace {

// Fast enough for a 200,000-character chapter in a few milliseconds on the writer's thread.
constexpr int kCompressionLevel = 3;
// The window reaches back over the whole reference for texts up to this size (2^27 bytes): a
// chapter is far smaller. Larger ones are still coded, only less well.
constexpr int kLargestWindowLog = 27;

struct FreeCompressor {
  void operator()(ZSTD_CCtx* context) const { ZSTD_freeCCtx(context); }
};
struct FreeDecompressor {
  void operator()(ZSTD_DCtx* context) const { ZSTD_freeDCtx(context); }
};

int WindowLogFor(size_t bytes) {
  int log = 10;
  while (log < kLargestWindowLog && (size_t{1} << log) < bytes) ++log;
  return log;
}

std::array<uint32_t, 256> MakeCrcTable() {
  std::array<uint32_t, 256> table{};
  for (uint32_t i = 0; i < 256; ++i) {
    uint32_t c = i;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[i] = c;
  }
  return table;
}

}  // namespace

std::string CompressVersion(std::string_view bytes, std::string_view previous) {
  // One context per thread, kept: making its tables anew costs as much as a small version.
  thread_local std::unique_ptr<ZSTD_CCtx, FreeCompressor> context(ZSTD_createCCtx());
  if (!context) return {};
  ZSTD_CCtx_reset(context.get(), ZSTD_reset_session_and_parameters);
  ZSTD_CCtx_setParameter(context.get(), ZSTD_c_compressionLevel, kCompressionLevel);
  ZSTD_CCtx_setParameter(context.get(), ZSTD_c_checksumFlag, 1);
  if (!previous.empty()) {
    // The reference must lie inside the window for the matches into it to be found.
    ZSTD_CCtx_setParameter(context.get(), ZSTD_c_windowLog,
                           WindowLogFor(previous.size() + bytes.size()));
    if (ZSTD_isError(ZSTD_CCtx_refPrefix(context.get(), previous.data(), previous.size()))) {
      return {};
    }
  }
  std::string frame(ZSTD_compressBound(bytes.size()), '\0');
  const size_t written =
      ZSTD_compress2(context.get(), frame.data(), frame.size(), bytes.data(), bytes.size());
  if (ZSTD_isError(written)) return {};
  frame.resize(written);
  return frame;
}

bool DecompressVersion(std::string_view frame, std::string_view previous, size_t size,
                       std::string* bytes) {
  thread_local std::unique_ptr<ZSTD_DCtx, FreeDecompressor> context(ZSTD_createDCtx());
  if (!context) return false;
  ZSTD_DCtx_reset(context.get(), ZSTD_reset_session_and_parameters);
  ZSTD_DCtx_setParameter(context.get(), ZSTD_d_windowLogMax, kLargestWindowLog);
  if (!previous.empty() &&
      ZSTD_isError(ZSTD_DCtx_refPrefix(context.get(), previous.data(), previous.size()))) {
    return false;
  }
  // One byte more than expected: a frame that decodes longer is not this version.
  bytes->assign(size + 1, '\0');
  const size_t read =
      ZSTD_decompressDCtx(context.get(), bytes->data(), bytes->size(), frame.data(), frame.size());
  if (ZSTD_isError(read) || read != size) return false;
  bytes->resize(size);
  return true;
}

uint32_t Crc32(std::string_view bytes, uint32_t crc) {
  static const std::array<uint32_t, 256> table = MakeCrcTable();
  crc = ~crc;
  for (const char byte : bytes) {
    crc = table[(crc ^ static_cast<uint8_t>(byte)) & 0xFF] ^ (crc >> 8);
  }
  return ~crc;
}

uint64_t Fnv1a64(std::string_view bytes, uint64_t hash) {
  // FNV-1a over 8-byte words, then the bytes left: a chapter of 400 KB hashes in a fraction of
  // the byte-wise loop's time, and equal texts still hash equal.
  size_t i = 0;
  for (; i + 8 <= bytes.size(); i += 8) {
    uint64_t word = 0;
    std::memcpy(&word, bytes.data() + i, 8);
    hash = (hash ^ word) * 0x100000001b3ULL;
    hash ^= hash >> 29;
  }
  for (; i < bytes.size(); ++i) hash = (hash ^ static_cast<uint8_t>(bytes[i])) * 0x100000001b3ULL;
  return hash;
}

}  // namespace chapter_history
