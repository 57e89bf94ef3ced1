// Loads a window with a common dialog unit, opens its font dialog and saves a screenshot
// of the screen while the dialog is open, then closes the dialog:
//
//   xvfb-run -a -s "-screen 0 800x600x24" build/tests/showcase/font_dialog_showcase out.png
#include <QApplication>
#include <QFontDialog>
#include <QImage>
#include <QScreen>
#include <QTimer>
#include <cstdio>

#include "forms/forms_runtime.h"
#include "tests/showcase/showcase_window.h"
#include "units/commondlg/common_dialog_class.h"

extern const unsigned char font_dialog_showcase_window_block[];
extern const int font_dialog_showcase_window_block_size;

namespace {

constexpr uint32_t kForm = 0x52010031;
constexpr uint32_t kFontDialog = 0x160100B9;

QFontDialog* OpenFontDialog() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    auto* dialog = qobject_cast<QFontDialog*>(widget);
    if (dialog != nullptr && dialog->isVisible()) return dialog;
  }
  return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s screenshot.png\n", argv[0]);
    return 2;
  }
  QApplication application(argc, argv);
  if (showcase::LoadWindow(font_dialog_showcase_window_block,
                           font_dialog_showcase_window_block_size, kForm) == nullptr)
    return 1;
  forms::FormsRuntime& forms = forms::FormsRuntime::Instance();

  // Once the dialog has been up for a while (so that it is painted), the whole screen is
  // grabbed and the dialog cancelled. Gives up after ten seconds.
  bool saved = false;
  int looks = 0;
  QTimer look;
  look.setInterval(100);
  QObject::connect(&look, &QTimer::timeout, [&] {
    QFontDialog* dialog = OpenFontDialog();
    ++looks;
    if (dialog == nullptr) {
      if (looks > 100) look.stop();
      return;
    }
    if (looks < 8) return;
    const QImage shot = dialog->screen()->grabWindow(0).toImage();
    saved = !shot.isNull() && shot.save(QString::fromLocal8Bit(argv[1]));
    look.stop();
    dialog->reject();
  });
  look.start();
  units::OpenCommonDialog(kForm, kFontDialog);
  forms.ReleaseAllTemplates();
  if (!saved) std::fprintf(stderr, "no screenshot of the font dialog was saved\n");
  return saved ? 0 : 1;
}
