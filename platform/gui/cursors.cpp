#include "platform/gui/cursors.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <QPixmap>

namespace gui {

std::optional<QCursor> SystemCursor(int32_t identifier) {
  switch (identifier) {
    case 32512: return QCursor(Qt::ArrowCursor);
    case 32513: return QCursor(Qt::IBeamCursor);
    case 32514: return QCursor(Qt::WaitCursor);
    case 32515: return QCursor(Qt::CrossCursor);
    case 32516: return QCursor(Qt::UpArrowCursor);
    case 32642: return QCursor(Qt::SizeFDiagCursor);
    case 32643: return QCursor(Qt::SizeBDiagCursor);
    case 32644: return QCursor(Qt::SizeHorCursor);
    case 32645: return QCursor(Qt::SizeVerCursor);
    case 32646: return QCursor(Qt::SizeAllCursor);
    case 32648: return QCursor(Qt::ForbiddenCursor);
    case 32649: return QCursor(Qt::PointingHandCursor);
    case 32650: return QCursor(Qt::BusyCursor);
    case 32651: return QCursor(Qt::WhatsThisCursor);
    default: return std::nullopt;
  }
}

std::optional<QCursor> CursorFromFile(std::span<const uint8_t> bytes) {
  // A cursor file: a 6-byte directory header, then 16-byte entries whose words at 4 and 6
  // are the hot spot.
  if (bytes.size() < 22) return std::nullopt;
  QByteArray data(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
  QBuffer buffer(&data);
  QImageReader reader(&buffer, "cur");
  QImage image = reader.read();
  if (image.isNull()) {
    buffer.seek(0);
    QImageReader any(&buffer);
    image = any.read();
  }
  if (image.isNull()) return std::nullopt;
  const int hot_x = bytes[10] | (bytes[11] << 8);
  const int hot_y = bytes[12] | (bytes[13] << 8);
  return QCursor(QPixmap::fromImage(image), hot_x, hot_y);
}

}  // namespace gui
