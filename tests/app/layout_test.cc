// The writing window at every size it may have, as an author sees it: no text of a unit
// overlaps another text or another unit, no caption runs past its unit or out of the window,
// and a figure too long for its label is cut short with "…" and whole in its tool tip. Run
// once more at 200 % (QT_SCALE_FACTOR=2) by its own CTest entry.
#include <QAbstractButton>
#include <QApplication>

#include "tests/app/desk_test.h"
#include "units/groupbox/group_box_widget.h"
#include "units/label/label_unit.h"
#include "units/translabel/trans_label_unit.h"

namespace desk_tests {

namespace {

using namespace app;

// What an author sees of a unit, in the window's coordinates: the ink of its text, or the
// box of a unit that shows something of its own over its whole rectangle.
struct Part {
  QString what;
  QRect rect;
  const gui::Window* unit;
  bool text;
};

QString Describe(const Part& part) {
  return QStringLiteral("%1 %2 (%3,%4 %5x%6)")
      .arg(part.text ? "text" : "unit", part.what)
      .arg(part.rect.x())
      .arg(part.rect.y())
      .arg(part.rect.width())
      .arg(part.rect.height());
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

QRect GroupTitleInk(const units::GroupBoxWidget& box) {
  return CentredInk(box.font(), box.Title(), box.TitleRect());
}

class Layout : public DeskTest {
 protected:
  QWidget* Window() { return Unit(0)->Widget(); }

  void ResizeTo(const QSize& size) {
    const QSize before = Window()->size();
    Window()->resize(size);
    // Laid out for the window's width (its frame included) once it changed.
    if (Window()->size() != before) {
      ASSERT_TRUE(WaitFor([&] {
        return ReadInt(unit::kCloseButton, property::kLeft) ==
               ReadInt(unit::kWindow, property::kWidth) - 60;
      }));
    }
    Window()->grab();  // every unit painted at this size
  }

  // Every part of the shown window; failures for a text that runs past its own unit.
  std::vector<Part> Parts() {
    std::vector<Part> parts;
    std::vector<gui::Window*> pending = Unit(0)->Children();
    while (!pending.empty()) {
      gui::Window* unit = pending.back();
      pending.pop_back();
      for (gui::Window* child : unit->Children()) pending.push_back(child);
      QWidget* widget = unit->Widget();
      if (widget == nullptr || !widget->isVisibleTo(Window())) continue;
      const QRect box(widget->mapTo(Window(), QPoint(0, 0)), widget->size());
      // A unit that clips its text must hold all of it; a transparent label draws past its
      // edges, where only other units' parts must stay clear of it.
      const auto add_text = [&](const QString& what, const QRect& ink, const QRect& own,
                                bool clips) {
        if (ink.isEmpty()) return;
        const Part part{what, ink, unit, true};
        EXPECT_TRUE(!clips || own.contains(ink))
            << "cut by its unit " << Describe({what, own, unit, false}).toStdString() << ": "
            << Describe(part).toStdString();
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
        add_text(group->Title(), GroupTitleInk(*group).translated(box.topLeft()), box, true);
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

  static void CheckElided(const units::CaptionLayout& caption, const QWidget& widget) {
    if (!caption.elided) return;
    EXPECT_TRUE(caption.shown.endsWith(QChar(0x2026))) << caption.shown.toStdString();
    EXPECT_EQ(widget.toolTip(), caption.whole);
  }

  static bool Related(const gui::Window* a, const gui::Window* b) {
    for (const gui::Window* up = a; up != nullptr; up = up->Parent()) {
      if (up == b) return true;
    }
    for (const gui::Window* up = b; up != nullptr; up = up->Parent()) {
      if (up == a) return true;
    }
    return false;
  }

  void ExpectNothingOverlapsOrIsCut(const char* size) {
    const std::vector<Part> parts = Parts();
    const QRect window(QPoint(0, 0), Window()->size());
    for (size_t i = 0; i < parts.size(); ++i) {
      EXPECT_TRUE(window.contains(parts[i].rect))
          << size << ": cut by the window's edge: " << Describe(parts[i]).toStdString();
      for (size_t j = i + 1; j < parts.size(); ++j) {
        const Part& a = parts[i];
        const Part& b = parts[j];
        if (!a.text && !b.text) continue;  // only texts must stand clear
        if (Related(a.unit, b.unit) || !a.rect.intersects(b.rect)) continue;
        ADD_FAILURE() << size << ": " << Describe(a).toStdString() << " overlaps "
                      << Describe(b).toStdString();
      }
    }
  }
};

TEST_F(Layout, NoTextOverlapsOrIsCutAtAnySizeTheWindowMayHave) {
  StartDesk();
  // Figures as they grow: a long count, and the quotients of a few seconds' typing.
  WriteText(unit::kCountLabel, property::kCaption, "1234567");
  WriteText(unit::kHours, property::kCaption, "0.000833333333333333");
  WriteText(unit::kPerSecond, property::kCaption, "17.5");
  WriteText(unit::kPerMinute, property::kCaption, "1050");
  const QSize start = Window()->size();
  const struct {
    const char* name;
    QSize size;
  } sizes[] = {{"start", start},
               {"smallest", QSize(100, 100)},
               {"1280x800", QSize(1280, 800)},
               {"maximised on 1920x1080", QSize(1920, 1080)}};
  for (const auto& [name, size] : sizes) {
    ResizeTo(size);
    ExpectNothingOverlapsOrIsCut(name);
  }
  // The long figure is shown cut short, and whole in its tool tip.
  EXPECT_EQ(Unit(unit::kHours)->Widget()->toolTip(), QString("0.000833333333333333"));
  EXPECT_EQ(Unit(unit::kPerSecond)->Widget()->toolTip(), QString());
  // The smallest the window may be is its start size.
  ResizeTo(QSize(100, 100));
  EXPECT_EQ(Window()->size(), start);
}

}  // namespace

}  // namespace desk_tests
