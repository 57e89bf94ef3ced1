#include "units/treebox/picture_group.h"

#include <QBuffer>
#include <QColor>
#include <cstring>

#include "forms/byte_stream.h"

namespace units {

namespace {

constexpr uint16_t kImageListMagic = 0x4C49;  // "IL"
constexpr uint16_t kFlagMask = 0x0001;
constexpr uint16_t kFlagColor24 = 0x0018;
constexpr int kHeaderSize = 28;
constexpr int kCellsPerRow = 4;

uint16_t Word16(std::span<const uint8_t> bytes, size_t at) {
  return static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}
uint32_t Word32(std::span<const uint8_t> bytes, size_t at) {
  uint32_t value;
  std::memcpy(&value, bytes.data() + at, 4);
  return value;
}

// The length of the bitmap file at the start of `bytes`, or 0 when it is not one. The
// length field of the file header is trusted only when it agrees with the pixel layout.
size_t BitmapFileLength(std::span<const uint8_t> bytes) {
  if (bytes.size() < 14 + 40 || bytes[0] != 'B' || bytes[1] != 'M') return 0;
  const uint32_t declared = Word32(bytes, 2);
  const uint32_t pixels_at = Word32(bytes, 10);
  int32_t width, height;
  std::memcpy(&width, bytes.data() + 18, 4);
  std::memcpy(&height, bytes.data() + 22, 4);
  const uint16_t bits = Word16(bytes, 28);
  const uint32_t compression = Word32(bytes, 30);
  if (width <= 0 || height == 0 || bits == 0 || bits > 32) return 0;
  const uint64_t stride = ((static_cast<uint64_t>(width) * bits + 31) / 32) * 4;
  const uint64_t height_abs = height < 0 ? -static_cast<int64_t>(height) : height;
  const uint64_t computed = pixels_at + stride * height_abs;
  // Compressed pixels have no fixed size: only the header's word can say.
  const uint64_t length =
      (compression == 0 || compression == 3) && declared != computed ? computed : declared;
  return length <= bytes.size() ? static_cast<size_t>(length) : 0;
}

QImage DecodeBitmap(std::span<const uint8_t> bytes) {
  QImage image;
  image.loadFromData(bytes.data(), static_cast<int>(bytes.size()), "BMP");
  return image;
}

QByteArray EncodeBitmap(const QImage& image) {
  QByteArray out;
  QBuffer buffer(&out);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "BMP");
  return out;
}

}  // namespace

std::vector<QImage> ReadPictureGroup(std::span<const uint8_t> bytes) {
  if (bytes.size() <= 8 + kHeaderSize || std::memcmp(bytes.data(), "MITL", 4) != 0) return {};
  const auto header = bytes.subspan(8, kHeaderSize);
  const uint16_t version = Word16(header, 2);
  if (Word16(header, 0) != kImageListMagic || (version != 0x0101 && version != 0x0600)) return {};
  const int count = Word16(header, 4);
  const int width = Word16(header, 10);
  const int height = Word16(header, 12);
  const uint16_t flags = Word16(header, 18);
  if (count == 0 || width == 0 || height == 0) return {};

  auto rest = bytes.subspan(8 + kHeaderSize);
  const size_t image_length = BitmapFileLength(rest);
  if (image_length == 0) return {};
  QImage sheet = DecodeBitmap(rest.first(image_length));
  if (sheet.isNull()) return {};
  sheet = sheet.convertToFormat(QImage::Format_ARGB32);
  rest = rest.subspan(image_length);
  if ((flags & kFlagMask) != 0) {
    const size_t mask_length = BitmapFileLength(rest);
    const QImage mask = mask_length == 0 ? QImage() : DecodeBitmap(rest.first(mask_length));
    if (!mask.isNull()) {
      const QImage gray = mask.convertToFormat(QImage::Format_RGB32);
      for (int y = 0; y < std::min(sheet.height(), gray.height()); ++y) {
        auto* line = reinterpret_cast<QRgb*>(sheet.scanLine(y));
        const auto* mask_line = reinterpret_cast<const QRgb*>(gray.constScanLine(y));
        for (int x = 0; x < std::min(sheet.width(), gray.width()); ++x) {
          if (qGray(mask_line[x]) >= 128) line[x] = qRgba(0, 0, 0, 0);
        }
      }
    }
  }

  const int columns = std::max(sheet.width() / width, 1);
  const int rows = sheet.height() / height;
  std::vector<QImage> pictures;
  for (int i = 0; i < count && i < columns * rows; ++i) {
    const QRect cell((i % columns) * width, (i / columns) * height, width, height);
    if (!sheet.rect().contains(cell)) break;
    pictures.push_back(sheet.copy(cell));
  }
  return pictures;
}

std::vector<uint8_t> WritePictureGroup(const std::vector<QImage>& pictures) {
  if (pictures.empty()) return {};
  const QSize size = pictures.front().size();
  const int count = static_cast<int>(pictures.size());
  const int rows = (count + kCellsPerRow - 1) / kCellsPerRow;
  QImage sheet(size.width() * kCellsPerRow, size.height() * rows, QImage::Format_RGB888);
  sheet.fill(Qt::black);
  QImage mask(sheet.size(), QImage::Format_Mono);
  mask.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
  mask.fill(1);
  for (int i = 0; i < count; ++i) {
    const QImage picture = pictures[static_cast<size_t>(i)].convertToFormat(QImage::Format_ARGB32);
    const int left = (i % kCellsPerRow) * size.width();
    const int top = (i / kCellsPerRow) * size.height();
    for (int y = 0; y < std::min(size.height(), picture.height()); ++y) {
      for (int x = 0; x < std::min(size.width(), picture.width()); ++x) {
        const QRgb pixel = picture.pixel(x, y);
        if (qAlpha(pixel) < 128) continue;
        sheet.setPixel(left + x, top + y, qRgb(qRed(pixel), qGreen(pixel), qBlue(pixel)));
        mask.setPixel(left + x, top + y, 0);
      }
    }
  }
  const QByteArray image = EncodeBitmap(sheet);
  const QByteArray mask_bytes = EncodeBitmap(mask);

  forms::ByteWriter out;
  out.Bytes({reinterpret_cast<const uint8_t*>("MITL"), 4});
  out.Int32(kHeaderSize + static_cast<int32_t>(image.size() + mask_bytes.size()));
  const uint16_t words[] = {kImageListMagic,
                            0x0101,
                            static_cast<uint16_t>(count),
                            static_cast<uint16_t>(count),
                            4,
                            static_cast<uint16_t>(size.width()),
                            static_cast<uint16_t>(size.height())};
  out.Bytes({reinterpret_cast<const uint8_t*>(words), sizeof words});
  out.UInt32(0xFFFFFFFF);
  const uint16_t flags = kFlagMask | kFlagColor24;
  out.Bytes({reinterpret_cast<const uint8_t*>(&flags), 2});
  const int16_t overlays[4] = {-1, -1, -1, -1};
  out.Bytes({reinterpret_cast<const uint8_t*>(overlays), sizeof overlays});
  out.Bytes({reinterpret_cast<const uint8_t*>(image.data()), static_cast<size_t>(image.size())});
  out.Bytes({reinterpret_cast<const uint8_t*>(mask_bytes.data()),
             static_cast<size_t>(mask_bytes.size())});
  return std::move(out.Data());
}

}  // namespace units
