#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QDateTime>
#include <QString>
#include <cstddef>
#include <cstdint>

// A ZIP archive made in memory, as an EPUB book needs it: entries stored or deflated, each with
// its size and CRC-32 in its local header (no data descriptor, so a reader can take the file from
// its start, as EPUB requires of "mimetype"), no extra fields, no ZIP64. All numbers are
// little-endian.
//
// Local file header (30 bytes), then the name, then the entry's bytes:
//   0    4   signature "PK\3\4"
//   4    2   version needed to extract: 10 (stored) or 20 (deflated)
//   6    2   flags: 0 (names are ASCII, sizes are here)
//   8    2   method: 0 stored, 8 deflated
//   10   2   time, DOS form: hour << 11 | minute << 5 | second / 2
//   12   2   date, DOS form: (year - 1980) << 9 | month << 5 | day
//   14   4   CRC-32 of the entry's bytes before compression
//   18   4   compressed size
//   22   4   uncompressed size
//   26   2   name length
//   28   2   extra field length: 0
//   30   …   name
//
// Central directory header (46 bytes), then the name; one per entry, in the entries' order:
//   0    4   signature "PK\1\2"
//   4    2   version made by: 20 (ZIP 2.0, MS-DOS attributes)
//   6    2   version needed to extract
//   8    2   flags
//   10   2   method
//   12   2   time
//   14   2   date
//   16   4   CRC-32
//   20   4   compressed size
//   24   4   uncompressed size
//   28   2   name length
//   30   2   extra field length: 0
//   32   2   comment length: 0
//   34   2   disk number: 0
//   36   2   internal attributes: 0
//   38   4   external attributes: 0
//   42   4   offset of the local header from the start of the archive
//   46   …   name
//
// End of central directory (22 bytes), the last bytes of the archive:
//   0    4   signature "PK\5\6"
//   4    2   number of this disk: 0
//   6    2   disk of the central directory: 0
//   8    2   entries on this disk
//   10   2   entries in all
//   12   4   size of the central directory
//   16   4   offset of the central directory
//   20   2   comment length: 0
namespace novel_export {

inline constexpr uint32_t kLocalHeaderSignature = 0x04034B50;
inline constexpr uint32_t kCentralHeaderSignature = 0x02014B50;
inline constexpr uint32_t kEndOfCentralSignature = 0x06054B50;
inline constexpr size_t kLocalHeaderSize = 30;
inline constexpr size_t kLocalMethodOffset = 8;
inline constexpr size_t kLocalCrcOffset = 14;
inline constexpr size_t kLocalCompressedSizeOffset = 18;
inline constexpr size_t kLocalSizeOffset = 22;
inline constexpr size_t kLocalNameLengthOffset = 26;
inline constexpr size_t kLocalExtraLengthOffset = 28;
inline constexpr size_t kCentralHeaderSize = 46;
inline constexpr size_t kEndOfCentralSize = 22;
inline constexpr uint16_t kMethodStored = 0;
inline constexpr uint16_t kMethodDeflated = 8;
// Without ZIP64 every size and offset is a 32-bit number and the entries a 16-bit count.
inline constexpr uint64_t kLargestArchive = 0xFFFFFFFFu;
inline constexpr size_t kMostEntries = 0xFFFF;

// CRC-32 (the polynomial of ZIP, PNG and Ethernet) of `bytes`, continuing from `crc`.
uint32_t Crc32(QByteArrayView bytes, uint32_t crc = 0);

class ZipWriter {
 public:
  enum class Method { kStored, kDeflated };

  // Every entry gets the time `modified` has on this machine's clock (ZIP keeps local times),
  // to the even second below; times before 1980 are written as 1980-01-01 00:00:00, those
  // after 2107 as the last time DOS can hold.
  explicit ZipWriter(const QDateTime& modified);

  // Appends an entry. kDeflated keeps bytes that deflating would not make smaller (a picture)
  // stored.
  // Requires: `name` is ASCII, not empty, and not given before.
  void Add(QByteArrayView name, QByteArrayView bytes, Method method);

  // The archive, its central directory after the entries. Empty, with the reason in Chinese in
  // *error (when not null), when it would need ZIP64: more than 4 GB (kLargestArchive bytes) in
  // all or more than 65,535 entries. The writer is spent after this.
  QByteArray Finish(QString* error);

 private:
  QByteArray archive_;
  QByteArray central_;
  size_t entries_ = 0;
  bool too_large_ = false;
  uint16_t dos_time_;
  uint16_t dos_date_;
};

}  // namespace novel_export
