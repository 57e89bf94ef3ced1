#include "units/superbtn/super_button_painter.h"

#include <QPainter>
#include <QPen>
#include <algorithm>

#include "platform/gui/gbk_qstring.h"
#include "units/base/painting.h"

namespace units {

namespace {

constexpr int kMargin = 4;          // between the face's edge and picture or caption
constexpr int kGap = 4;             // between picture and caption
constexpr int kCornerDiameter = 8;  // of the rounded highlight's corners
constexpr int kFocusInset = 3;

// The picture a button in `state` shows, and whether it is drawn greyed. A missing Picture
// or HotPicture falls back to the other.
const KeyedPicture& ChosenPicture(const SuperButtonClassData& data, const SuperButtonState& state,
                                  const SuperButtonPictures& pictures, bool* greyed) {
  const KeyedPicture& normal = pictures.picture.IsNull() ? pictures.hot_picture : pictures.picture;
  const KeyedPicture& hot = pictures.hot_picture.IsNull() ? pictures.picture : pictures.hot_picture;
  *greyed = false;
  if (state.disabled) {
    if (!pictures.disabled_picture.IsNull()) return pictures.disabled_picture;
    *greyed = true;
    return hot;
  }
  // A toggling button shows its hot picture while it is down, whether hot or not.
  if (data.check_style) return state.pressed ? hot : normal;
  return state.hot || state.pressed ? hot : normal;
}

}  // namespace

QColor LightenedFace(const QColor& face) {
  const int lightest = std::max({face.red(), face.green(), face.blue()});
  const int amount = std::min(32, 255 - lightest);
  return QColor(face.red() + amount, face.green() + amount, face.blue() + amount);
}

SuperButtonColors ColorsOf(const SuperButtonClassData& data, const QPalette& palette) {
  const QColor face = palette.color(QPalette::Button);
  const QColor text = palette.color(QPalette::ButtonText);
  if (data.use_system_colors) return {text, face, text, LightenedFace(face)};
  return {ColorOf(data.text_color1, text), ColorOf(data.back_color1, face),
          ColorOf(data.text_color2, text), ColorOf(data.back_color2, LightenedFace(face))};
}

void PaintSuperButton(QPainter& painter, const QRect& bounds, const SuperButtonClassData& data,
                      const SuperButtonState& state, const SuperButtonPictures& pictures,
                      const QFont& font, const QStyle& style, const QPalette& palette) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  const SuperButtonColors colors = ColorsOf(data, palette);
  const bool raised = data.button_style == 1;
  const bool lit = state.hot || state.pressed;
  QRect rect = bounds;

  // A raised button that has the focus or is the default one is ringed in black.
  if (raised && (state.focused || state.is_default)) {
    painter.setPen(Qt::black);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.adjusted(0, 0, -1, -1));
    rect.adjust(1, 1, -1, -1);
  }

  // The background.
  if (lit && data.button_style == 2) {
    painter.fillRect(rect, state.focused ? colors.back2 : colors.back1);
    painter.setPen(Qt::black);
    painter.setBrush(colors.back2);
    painter.drawRoundedRect(rect.adjusted(0, 0, -1, -1), kCornerDiameter / 2, kCornerDiameter / 2);
  } else {
    painter.fillRect(rect, lit || state.focused ? colors.back2 : colors.back1);
  }

  // The frame.
  QRect frame = rect;
  if (raised && state.pressed) {
    painter.setPen(palette.color(QPalette::Dark));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(frame.adjusted(0, 0, -1, -1));
  } else if (raised) {
    DrawEdge(painter, frame, palette.color(QPalette::Light), palette.color(QPalette::Shadow));
    DrawEdge(painter, frame, palette.color(QPalette::Midlight), palette.color(QPalette::Dark));
  } else if (data.hot_frame && state.pressed) {
    DrawEdge(painter, frame, palette.color(QPalette::Dark), palette.color(QPalette::Light));
  } else if (data.hot_frame && state.hot) {
    DrawEdge(painter, frame, palette.color(QPalette::Light), palette.color(QPalette::Dark));
  }

  // The picture, placed per PicturePosition; the caption takes the space it leaves.
  bool greyed = false;
  const KeyedPicture& chosen = ChosenPicture(data, state, pictures, &greyed);
  const QPixmap* shown = nullptr;
  if (!chosen.IsNull()) shown = greyed ? &chosen.Greyed(style, palette) : &chosen.Keyed();
  const QRect content = rect.adjusted(kMargin, kMargin, -kMargin, -kMargin);
  QRect caption_area = content;
  QPoint picture_at;
  if (shown != nullptr) {
    const QSize size = chosen.Size();
    switch (data.picture_position) {
      case 1:  // above the caption
        picture_at = {content.left() + (content.width() - size.width()) / 2, content.top()};
        caption_area.setTop(content.top() + size.height() + kGap);
        break;
      case 2:  // right of the caption
        picture_at = {content.right() + 1 - size.width(),
                      content.top() + (content.height() - size.height()) / 2};
        caption_area.setRight(content.right() - size.width() - kGap);
        break;
      case 3:  // in the corner, the caption where it would be without a picture
        picture_at = content.topLeft();
        break;
      default:  // left of the caption
        picture_at = {content.left(), content.top() + (content.height() - size.height()) / 2};
        caption_area.setLeft(content.left() + size.width() + kGap);
        break;
    }
  }
  // A toggling button keeps its contents in place.
  if (state.pressed && !data.check_style) {
    const QPoint offset = data.press_offset == 1 ? QPoint(0, 2) : QPoint(1, 1);
    picture_at += offset;
    caption_area.translate(offset);
  }
  painter.setClipRect(rect);
  if (shown != nullptr) painter.drawPixmap(picture_at, *shown);

  const QString caption = gui::QStringOfGbk(data.caption);
  const int flags = Qt::AlignCenter | Qt::TextWordWrap | Qt::TextShowMnemonic;
  painter.setFont(font);
  if (state.disabled) {
    // Embossed: the highlight one pixel down and right, the shadow over it.
    painter.setPen(palette.color(QPalette::Light));
    painter.drawText(caption_area.translated(1, 1), flags, caption);
    painter.setPen(palette.color(QPalette::Dark));
    painter.drawText(caption_area, flags, caption);
  } else {
    painter.setPen(lit || state.focused ? colors.text2 : colors.text1);
    painter.drawText(caption_area, flags, caption);
  }

  if (state.focused && (raised || data.flat_focus_rect)) {
    painter.setPen(QPen(colors.text2, 1, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.adjusted(kFocusInset, kFocusInset, -kFocusInset - 1, -kFocusInset - 1));
  }
  painter.restore();
}

}  // namespace units
