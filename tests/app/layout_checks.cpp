#include "tests/app/layout_checks.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QFontMetrics>
#include <QWidget>
#include <vector>

#include "app/main_window_ids.h"
#include "forms/forms_runtime.h"
#include "platform/gui/window.h"
#include "units/groupbox/group_box_widget.h"
#include "units/label/label_unit.h"
#include "units/translabel/trans_label_unit.h"

namespace desk_tests {

namespace {

using namespace app;

constexpr int kFigureWidth = 110;

// What an author sees of a unit, in the window's coordinates: the ink of its text, or the
// box of a unit that shows something of its own over its whole rectangle.
struct Part {
  QString what;
  QRect rect;
  const gui::Window* unit;
  bool text;
};

std::string Describe(const Part& part) {
  return QStringLiteral("%1 %2 (%3,%4 %5x%6)")
      .arg(part.text ? "text" : "unit", part.what)
      .arg(part.rect.x())
      .arg(part.rect.y())
      .arg(part.rect.width())
      .arg(part.rect.height())
      .toStdString();
}

// The ink of `text` drawn centred in `box` (a button's caption).
QRect CentredInk(const QFont& font, const QString& text, const QRect& box) {
  const QFontMetrics metrics(font);
  QString shown = text;
  shown.remove(QLatin1Char('&'));
  const QRect ink = metrics.tightBoundingRect(shown);
  const int left = box.left() + (box.width() - metrics.horizontalAdvance(shown)) / 2;
  const int baseline = box.top() + (box.height() - metrics.height()) / 2 + metrics.ascent();
  return ink.translated(left, baseline);
}

void CheckElided(const units::CaptionLayout& caption, const QWidget& widget) {
  if (!caption.elided) return;
  EXPECT_TRUE(caption.shown.endsWith(QChar(0x2026))) << caption.shown.toStdString();
  EXPECT_EQ(widget.toolTip(), caption.whole);
}

bool Related(const gui::Window* a, const gui::Window* b) {
  for (const gui::Window* up = a; up != nullptr; up = up->Parent()) {
    if (up == b) return true;
  }
  for (const gui::Window* up = b; up != nullptr; up = up->Parent()) {
    if (up == a) return true;
  }
  return false;
}

// Every part of the shown window; failures for a text that runs past its own unit.
std::vector<Part> Parts(const gui::Window& window, const std::string& when) {
  QWidget* top = window.Widget();
  std::vector<Part> parts;
  std::vector<gui::Window*> pending = window.Children();
  while (!pending.empty()) {
    gui::Window* unit = pending.back();
    pending.pop_back();
    for (gui::Window* child : unit->Children()) pending.push_back(child);
    QWidget* widget = unit->Widget();
    if (widget == nullptr || !widget->isVisibleTo(top)) continue;
    const QRect box(widget->mapTo(top, QPoint(0, 0)), widget->size());
    // A unit that clips its text must hold all of it; a transparent label draws past its
    // edges, where only other units' parts must stay clear of it.
    const auto add_text = [&](const QString& what, const QRect& ink, const QRect& own, bool clips) {
      if (ink.isEmpty()) return;
      const Part part{what, ink, unit, true};
      EXPECT_TRUE(!clips || own.contains(ink))
          << when << ": cut by its unit " << Describe({what, own, unit, false}) << ": "
          << Describe(part);
      parts.push_back(part);
    };
    if (auto* label = dynamic_cast<const units::TransLabelUnit*>(unit)) {
      const units::CaptionLayout& caption = label->PaintedCaption();
      CheckElided(caption, *widget);
      add_text(caption.whole, caption.ink.translated(box.topLeft()), box, false);
    } else if (auto* label = dynamic_cast<const units::LabelUnit*>(unit)) {
      const units::CaptionLayout& caption = label->PaintedCaption();
      CheckElided(caption, *widget);
      add_text(caption.whole, caption.ink.translated(box.topLeft()), box, true);
      parts.push_back({caption.whole, box, unit, false});
    } else if (auto* group = dynamic_cast<units::GroupBoxWidget*>(widget)) {
      add_text(group->Title(), CentredInk(group->font(), group->Title(), group->TitleRect()).translated(box.topLeft()),
               box, true);
    } else if (auto* button = widget->findChild<QAbstractButton*>();
               button != nullptr || qobject_cast<QAbstractButton*>(widget) != nullptr) {
      if (button == nullptr) button = qobject_cast<QAbstractButton*>(widget);
      const QString text = button->text().isEmpty() ? unit->Text() : button->text();
      if (!text.isEmpty()) add_text(text, CentredInk(button->font(), text, box), box, true);
      parts.push_back({text, box, unit, false});
    } else {
      parts.push_back({widget->metaObject()->className(), box, unit, false});
    }
  }
  return parts;
}

const gui::Window* UnitOf(forms::UnitId unit) {
  return forms::FormsRuntime::Instance().UnitWindow(kMainWindow, unit);
}

}  // namespace

void ExpectNothingOverlapsOrIsCut(const gui::Window& window, const std::string& when) {
  window.Widget()->grab();  // every unit painted at this size
  const std::vector<Part> parts = Parts(window, when);
  const QRect inside(QPoint(0, 0), window.Widget()->size());
  for (size_t i = 0; i < parts.size(); ++i) {
    EXPECT_TRUE(inside.contains(parts[i].rect))
        << when << ": cut by the window's edge " << inside.width() << "x" << inside.height()
        << ": " << Describe(parts[i]);
    for (size_t j = i + 1; j < parts.size(); ++j) {
      const Part& a = parts[i];
      const Part& b = parts[j];
      if (!a.text && !b.text) continue;  // only texts must stand clear
      if (Related(a.unit, b.unit) || !a.rect.intersects(b.rect)) continue;
      ADD_FAILURE() << when << ": " << Describe(a) << " overlaps " << Describe(b);
    }
  }
}

void ExpectTheFiguresKeepTheirPlace(const gui::Window& window, const std::string& when) {
  const int inside_width = window.Widget()->width();
  int below = 0;
  for (forms::UnitId figure : {unit::kHours, unit::kMinutes, unit::kSeconds, unit::kPerSecond, unit::kPerMinute}) {
    const QRect box = UnitOf(figure)->Widget()->geometry();
    EXPECT_EQ(box.width(), kFigureWidth) << when << ": figure " << std::hex << figure;
    EXPECT_EQ(box.right() + 1, inside_width) << when << ": figure " << std::hex << figure;
    EXPECT_GE(box.top(), below) << when << ": figure " << std::hex << figure;
    below = box.bottom() + 1;
  }
}

void ExpectTheWarningLineInside(const gui::Window& window, const std::string& when) {
  const QRect inside(QPoint(0, 0), window.Widget()->size());
  const QRect line = UnitOf(unit::kForumLabel)->Widget()->geometry();
  EXPECT_TRUE(inside.contains(line)) << when << ": the warning line (" << line.x() << "," << line.y()
                                     << " " << line.width() << "x" << line.height()
                                     << ") leaves the inside " << inside.width() << "x" << inside.height();
  const QRect text = UnitOf(unit::kTextBox)->Widget()->geometry();
  const QRect list = UnitOf(unit::kChapterList)->Widget()->geometry();
  EXPECT_GT(line.top(), std::max(text.bottom(), list.bottom())) << when << ": over the text box or the list";
}

}  // namespace desk_tests
