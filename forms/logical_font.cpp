#include "forms/logical_font.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>
#include <cstring>

#include "runtime/gbk_literal.h"
#include "platform/gui/gbk_qstring.h"

namespace forms {

namespace {
void Put(std::vector<uint8_t>& out, size_t offset, int32_t value) {
  std::memcpy(out.data() + offset, &value, 4);
}
int32_t Get(std::span<const uint8_t> in, size_t offset) {
  int32_t value;
  std::memcpy(&value, in.data() + offset, 4);
  return value;
}
}  // namespace

std::string DefaultFaceName() { return runtime::Gbk("宋体"); }

int32_t ScreenPixelsPerInch() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen == nullptr ? 96 : static_cast<int32_t>(std::lround(screen->logicalDotsPerInchY()));
}

std::vector<uint8_t> LogicalFont::Bytes() const {
  std::vector<uint8_t> out(kSize, 0);
  Put(out, 0, height);
  Put(out, 4, width);
  Put(out, 8, escapement);
  Put(out, 12, orientation);
  Put(out, 16, weight);
  const uint8_t bytes[8] = {italic, underline, strike_out, charset,
                            out_precision, clip_precision, quality, pitch_and_family};
  std::memcpy(out.data() + 20, bytes, 8);
  std::memcpy(out.data() + 28, face.data(), std::min<size_t>(face.size(), 31));
  return out;
}

std::optional<LogicalFont> LogicalFont::FromBytes(std::span<const uint8_t> bytes) {
  if (bytes.size() != kSize) return std::nullopt;
  LogicalFont font;
  font.height = Get(bytes, 0);
  font.width = Get(bytes, 4);
  font.escapement = Get(bytes, 8);
  font.orientation = Get(bytes, 12);
  font.weight = Get(bytes, 16);
  font.italic = bytes[20];
  font.underline = bytes[21];
  font.strike_out = bytes[22];
  font.charset = bytes[23];
  font.out_precision = bytes[24];
  font.clip_precision = bytes[25];
  font.quality = bytes[26];
  font.pitch_and_family = bytes[27];
  const char* face = reinterpret_cast<const char*>(bytes.data() + 28);
  font.face.assign(face, strnlen(face, 32));
  return font;
}

LogicalFont LogicalFont::Default() {
  LogicalFont font;
  font.face = DefaultFaceName();
  font.SetPoints(9);
  return font;
}

int32_t LogicalFont::Points() const {
  return static_cast<int32_t>(
      std::lround(std::abs(static_cast<double>(height)) * 72.0 / ScreenPixelsPerInch()));
}

void LogicalFont::SetPoints(int32_t points) {
  height = -static_cast<int32_t>(std::lround(points * ScreenPixelsPerInch() / 72.0));
}

QFont LogicalFont::ToQFont() const {
  QFont font(gui::QStringOfGbk(face));
  if (height != 0) font.setPixelSize(std::abs(height));
  font.setWeight(weight >= 700 ? QFont::Bold : QFont::Normal);
  font.setItalic(italic != 0);
  font.setUnderline(underline != 0);
  font.setStrikeOut(strike_out != 0);
  return font;
}

}  // namespace forms
