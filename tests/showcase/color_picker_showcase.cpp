// Shows a colour picker with its drop-down open ("透明" above the palette, "其它颜色..."
// below it, one cell highlighted and previewed in the box) and saves a screenshot of it:
//
//   xvfb-run -a -s "-screen 0 800x600x24" build/tests/showcase/color_picker_showcase out.png
#include <QApplication>
#include <QPainter>
#include <QScreen>
#include <QTest>
#include <cstdio>

#include "forms/forms_runtime.h"
#include "tests/showcase/showcase_window.h"
#include "units/colorpicker/color_picker_unit.h"

extern const unsigned char color_picker_window_block[];
extern const int color_picker_window_block_size;

namespace {

constexpr uint32_t kForm = 0x52010031;
constexpr uint32_t kPicker = 0x16010061;

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s screenshot.png\n", argv[0]);
    return 2;
  }
  QApplication application(argc, argv);
  if (showcase::LoadWindow(color_picker_window_block, color_picker_window_block_size, kForm) ==
      nullptr)
    return 1;
  forms::FormsRuntime& forms = forms::FormsRuntime::Instance();
  QWidget* top = forms.UnitWindow(kForm, 0)->Widget();
  auto* picker = dynamic_cast<units::ColorPickerUnit*>(forms.UnitWindow(kForm, kPicker));
  if (picker == nullptr) return 1;
  if (!showcase::PaintNow(top)) return 1;
  picker->SetFocus();
  picker->OpenDropDown();
  units::ColorDropDown* drop_down = picker->DropDown();
  if (drop_down == nullptr) return 1;
  // Two steps from the current colour's cell: the box previews the highlighted one.
  QTest::keyClick(drop_down, Qt::Key_Down);
  QTest::keyClick(drop_down, Qt::Key_Right);
  if (!showcase::PaintNow(drop_down) || !showcase::PaintNow(top)) return 1;
  const QRect area = top->frameGeometry().united(drop_down->frameGeometry());
  QImage shot =
      top->screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height()).toImage();
  if (shot.isNull() || shot.size().isEmpty()) {
    // No screen to grab: the window and the drop-down drawn one over the other.
    shot = QImage(area.size(), QImage::Format_RGB32);
    shot.fill(Qt::darkGray);
    QPainter painter(&shot);
    painter.drawImage(top->geometry().topLeft() - area.topLeft(), top->grab().toImage());
    painter.drawImage(drop_down->geometry().topLeft() - area.topLeft(),
                      drop_down->grab().toImage());
  }
  if (!shot.save(QString::fromLocal8Bit(argv[1]))) return 1;
  forms.ReleaseAllTemplates();
  return 0;
}
