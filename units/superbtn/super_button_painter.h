#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QRect>

#include "units/superbtn/keyed_picture.h"
#include "units/superbtn/super_button_class_data.h"

class QPainter;
class QStyle;

namespace units {

// How the button stands when it is painted.
struct SuperButtonState {
  bool pressed = false;  // held down, or a CheckStyle button that is Checked
  bool focused = false;
  bool disabled = false;
  bool hot = false;  // the pointer is over it
  bool is_default = false;
};

// The three pictures of a super button, as properties name them.
struct SuperButtonPictures {
  KeyedPicture picture;
  KeyedPicture hot_picture;
  KeyedPicture disabled_picture;
};

// The colours the button paints with: the first pair for the normal state, the second
// for the hot, pressed and focused states.
struct SuperButtonColors {
  QColor text1, back1, text2, back2;
};
SuperButtonColors ColorsOf(const SuperButtonClassData& data, const QPalette& palette);

// The button face lightened for the second background: every channel raised by the same
// amount, 32 or as much as the lightest channel still allows.
QColor LightenedFace(const QColor& face);

// Paints the whole button into `bounds`: frame, background, picture, caption and focus
// rectangle.
void PaintSuperButton(QPainter& painter, const QRect& bounds, const SuperButtonClassData& data,
                      const SuperButtonState& state, const SuperButtonPictures& pictures,
                      const QFont& font, const QStyle& style, const QPalette& palette);

}  // namespace units
