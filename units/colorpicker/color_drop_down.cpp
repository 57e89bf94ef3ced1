#include "units/colorpicker/color_drop_down.h"

#include <QApplication>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>
#include <QToolTip>
#include <algorithm>

#include "units/base/painting.h"

namespace units {

namespace {

QColor RgbOf(uint32_t bgr) { return ColorOf(bgr, Qt::white); }

QString TransparentText() { return QString::fromUtf8("透明"); }
QString OtherColorsText() { return QString::fromUtf8("其它颜色..."); }

}  // namespace

const std::array<PaletteColor, kPaletteSize>& ColorPalette() {
  // Values as 0x00BBGGRR.
  static constexpr std::array<PaletteColor, kPaletteSize> palette = {{
      {0x000000, "黑色"}, {0x800000, "藏青"}, {0x008000, "墨绿"}, {0x808000, "深青"},
      {0x000080, "红褐"}, {0x800080, "紫红"}, {0x008080, "褐绿"}, {0xC0C0C0, "浅灰"},
      {0x808080, "灰色"}, {0xFF0000, "蓝色"}, {0x00FF00, "绿色"}, {0xFFFF00, "艳青"},
      {0x0000FF, "红色"}, {0xFF00FF, "品红"}, {0x00FFFF, "黄色"}, {0xFFFFFF, "白色"},
      {0xFF8080, "蓝灰"}, {0xE03058, "藏蓝"}, {0x00E080, "嫩绿"}, {0x80E000, "青绿"},
      {0x0060C0, "黄褐"}, {0xFFA8FF, "粉红"}, {0x00D8D8, "嫩黄"}, {0xECECEC, "银白"},
      {0xFF0090, "紫色"}, {0xFF8800, "天蓝"}, {0x80A080, "灰绿"}, {0xC06000, "青蓝"},
      {0x0080FF, "橙黄"}, {0x8050FF, "桃红"}, {0xC080FF, "芙红"}, {0x606060, "深灰"},
  }};
  return palette;
}

ColorDropDown::ColorDropDown(bool with_transparent, uint32_t current)
    : QWidget(nullptr, Qt::Popup), with_transparent_(with_transparent) {
  setAttribute(Qt::WA_DeleteOnClose);
  setMouseTracking(true);
  setFont(QApplication::font("QMenu"));
  selected_ = kNoItem;
  if (with_transparent_ && current == 0xFF000000) selected_ = kTransparentItem;
  for (int cell = 0; cell < kPaletteSize && selected_ == kNoItem; ++cell) {
    if (ColorPalette()[cell].bgr == current) selected_ = cell;
  }
  highlight_ = selected_;
  const int edge = EdgeWidth();
  const int entries = (with_transparent_ ? 2 : 1) * EntryHeight();
  setFixedSize(2 * edge + kColumns * kCellSize, 2 * edge + kRows * kCellSize + entries);
}

int ColorDropDown::EdgeWidth() const {
  return std::max(1, style()->pixelMetric(QStyle::PM_DefaultFrameWidth));
}

int ColorDropDown::EntryHeight() const {
  const QFontMetrics metrics(font());
  const int text = std::max(metrics.boundingRect(TransparentText()).height(),
                            metrics.boundingRect(OtherColorsText()).height());
  return text + 4 * EdgeWidth() + 2;
}

QRect ColorDropDown::ItemRect(int item) const {
  const int edge = EdgeWidth();
  const int grid_top = edge + (with_transparent_ ? EntryHeight() : 0);
  const int full_width = kColumns * kCellSize;
  if (item == kTransparentItem) {
    return with_transparent_ ? QRect(edge, edge, full_width, EntryHeight()) : QRect();
  }
  if (item == kOtherColorsItem) {
    return QRect(edge, grid_top + kRows * kCellSize, full_width, EntryHeight());
  }
  if (item < 0 || item >= kPaletteSize) return {};
  return QRect(edge + (item % kColumns) * kCellSize, grid_top + (item / kColumns) * kCellSize,
               kCellSize, kCellSize);
}

int ColorDropDown::ItemAt(QPoint point) const {
  for (int item = 0; item <= kOtherColorsItem; ++item) {
    if (ItemRect(item).contains(point)) return item;
  }
  return kNoItem;
}

void ColorDropDown::Popup(const QRect& box) {
  QScreen* screen = QGuiApplication::screenAt(box.center());
  if (screen == nullptr) screen = QGuiApplication::primaryScreen();
  const QRect area = screen->geometry();
  QPoint at(box.left(), box.bottom() + 1);
  // Below the box when it fits, else above it, so that the box stays visible to show
  // the colour under the highlight; then pushed inside the screen.
  if (at.y() + height() > area.bottom() + 1 && box.top() - height() >= area.top()) {
    at.setY(box.top() - height());
  }
  at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() + 1 - width())));
  at.setY(std::clamp(at.y(), area.top(), std::max(area.top(), area.bottom() + 1 - height())));
  // Moved again once shown: a platform may place a new top-level window its own way.
  move(at);
  show();
  move(at);
  setFocus(Qt::PopupFocusReason);
}

void ColorDropDown::SetHighlight(int item) {
  if (item == highlight_) return;
  highlight_ = item;
  update();
  if (highlighted) highlighted(item);
}

void ColorDropDown::Finish(int item) {
  if (finished_) return;
  finished_ = true;
  if (item == kNoItem) {
    if (cancelled) cancelled();
  } else if (accepted) {
    accepted(item);
  }
}

// The items in the order the arrow keys walk them: "透明", the grid row by row, then
// "其它颜色...". Up and down move by a row in the grid and leave it for the entries.
int ColorDropDown::Step(int key) const {
  const int first = with_transparent_ ? kTransparentItem : 0;
  if (highlight_ == kNoItem) return first;
  const bool up = key == Qt::Key_Up, down = key == Qt::Key_Down;
  const bool left = key == Qt::Key_Left, right = key == Qt::Key_Right;
  if (highlight_ == kTransparentItem) return down || right ? 0 : highlight_;
  if (highlight_ == kOtherColorsItem) {
    if (up) return kPaletteSize - 1 - (kPaletteSize - 1) % kColumns;
    return left ? kPaletteSize - 1 : highlight_;
  }
  if (left) return highlight_ > 0 ? highlight_ - 1 : first;
  if (right) return highlight_ + 1 < kPaletteSize ? highlight_ + 1 : kOtherColorsItem;
  if (up) return highlight_ >= kColumns ? highlight_ - kColumns : first;
  if (down) return highlight_ + kColumns < kPaletteSize ? highlight_ + kColumns : kOtherColorsItem;
  return highlight_;
}

void ColorDropDown::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
      SetHighlight(Step(event->key()));
      break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
      if (highlight_ != kNoItem) Finish(highlight_);
      break;
    case Qt::Key_Escape:
      Finish(kNoItem);
      break;
    default:
      break;
  }
  event->accept();
}

void ColorDropDown::mouseMoveEvent(QMouseEvent* event) {
  const int item = ItemAt(event->position().toPoint());
  if (item != kNoItem) SetHighlight(item);
  event->accept();
}

void ColorDropDown::mousePressEvent(QMouseEvent* event) {
  if (!rect().contains(event->position().toPoint())) {
    // A press outside a pop-up closes it (Qt hides it after this): a cancel.
    QWidget::mousePressEvent(event);
    return;
  }
  pressed_inside_ = true;
  event->accept();
}

void ColorDropDown::mouseReleaseEvent(QMouseEvent* event) {
  // The release of the press that opened the pop-up arrives here too: only a press made
  // inside the pop-up chooses.
  const int item = ItemAt(event->position().toPoint());
  if (pressed_inside_ && item != kNoItem) {
    SetHighlight(item);
    Finish(item);
  }
  pressed_inside_ = false;
  event->accept();
}

void ColorDropDown::hideEvent(QHideEvent* event) {
  Finish(kNoItem);
  QWidget::hideEvent(event);
}

bool ColorDropDown::event(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    auto* help = static_cast<QHelpEvent*>(event);
    const int item = ItemAt(help->pos());
    if (item >= 0 && item < kPaletteSize) {
      QToolTip::showText(help->globalPos(), QString::fromUtf8(ColorPalette()[item].name), this,
                         ItemRect(item));
    } else {
      QToolTip::hideText();
    }
    return true;
  }
  return QWidget::event(event);
}

void ColorDropDown::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QPalette& colors = palette();
  painter.fillRect(rect(), colors.button());
  QRect frame = rect();
  DrawEdge(painter, frame, colors.light().color(), colors.shadow().color());
  DrawEdge(painter, frame, colors.midlight().color(), colors.dark().color());

  // The highlighted item is framed in the selection colour, the current colour's sits
  // sunken.
  const auto draw_state = [&](int item, QRect area) {
    if (item == highlight_) {
      const QColor frame = colors.highlight().color();
      DrawEdge(painter, area, frame, frame);
      DrawEdge(painter, area, colors.light().color(), colors.shadow().color());
    } else if (item == selected_) {
      DrawEdge(painter, area, colors.shadow().color(), colors.light().color());
    }
  };
  for (int cell = 0; cell < kPaletteSize; ++cell) {
    const QRect area = ItemRect(cell);
    draw_state(cell, area);
    const QRect swatch = area.adjusted(3, 3, -3, -3);
    painter.fillRect(swatch, RgbOf(ColorPalette()[cell].bgr));
    painter.setPen(colors.dark().color());
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(swatch.adjusted(0, 0, -1, -1));
  }
  painter.setPen(colors.buttonText().color());
  if (with_transparent_) {
    draw_state(kTransparentItem, ItemRect(kTransparentItem));
    painter.setPen(colors.buttonText().color());
    painter.drawText(ItemRect(kTransparentItem), Qt::AlignCenter, TransparentText());
  }
  draw_state(kOtherColorsItem, ItemRect(kOtherColorsItem));
  painter.setPen(colors.buttonText().color());
  painter.drawText(ItemRect(kOtherColorsItem), Qt::AlignCenter, OtherColorsText());
}

}  // namespace units
