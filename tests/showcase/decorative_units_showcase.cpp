// Shows the decorative units in one window over a background picture (a transparent
// caption, three picture buttons with the middle one hovered, a super button, a vertical
// splitter bar between a chapter list and a text box) and saves a screenshot of it:
//
//   xvfb-run -a -s "-screen 0 800x600x24" build/tests/showcase/decorative_units_showcase out.png
#include <QApplication>
#include <QBuffer>
#include <QCursor>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QScreen>
#include <QTest>
#include <cstdio>

#include "forms/forms_runtime.h"
#include "platform/core/code_page.h"
#include "runtime/owned_blocks.h"
#include "tests/showcase/showcase_window.h"
#include "units/picbtn/picture_button_widget.h"
#include "units/treebox/tree_box.h"

extern const unsigned char showcase_window_block[];
extern const int showcase_window_block_size;

namespace {

constexpr uint32_t kForm = 0x52010030;
constexpr uint32_t kHoveredButton = 0x16010052;
constexpr uint32_t kChapters = 0x16010054;
constexpr int32_t kWindowBackPicture = 8 + 3;

// A dusk sky: the kind of picture an author puts behind the writing desk.
std::vector<uint8_t> BackgroundPng(QSize size) {
  QImage image(size, QImage::Format_RGB32);
  QPainter painter(&image);
  QLinearGradient sky(0, 0, 0, size.height());
  sky.setColorAt(0, QColor(38, 52, 96));
  sky.setColorAt(0.6, QColor(142, 98, 120));
  sky.setColorAt(1, QColor(232, 170, 120));
  painter.fillRect(image.rect(), sky);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(20, 26, 40));
  painter.drawEllipse(QPoint(size.width() / 3, size.height() + 60), size.width() / 2, 120);
  painter.drawEllipse(QPoint(size.width(), size.height() + 40), size.width() / 2, 110);
  painter.end();
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return {bytes.begin(), bytes.end()};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s screenshot.png\n", argv[0]);
    return 2;
  }
  QApplication application(argc, argv);
  if (showcase::LoadWindow(showcase_window_block, showcase_window_block_size, kForm) == nullptr)
    return 1;
  forms::FormsRuntime& forms = forms::FormsRuntime::Instance();
  gui::Window* window = forms.UnitWindow(kForm, 0);
  const runtime::ByteSet background(BackgroundPng(window->ClientRect().size()));
  forms.WriteUnitProperty(kForm, 0, kWindowBackPicture, -1, background.Arg());
  if (auto* tree = dynamic_cast<units::TreeBox*>(forms.UnitWindow(kForm, kChapters))) {
    for (const char* name : {"第一章 风起", "第二章 青萍", "第三章 夜雨", "第四章 灯火"}) {
      units::NewItem item;
      item.text = platform::Utf8ToGbk(name);
      tree->AddItem(-1, item);
    }
  }
  if (!showcase::PaintNow(window->Widget())) return 1;
  // The pointer rests on the middle title button, which shows its hot picture.
  QWidget* hovered = forms.UnitWindow(kForm, kHoveredButton)->Widget();
  const QPoint centre = hovered->mapToGlobal(hovered->rect().center());
  QCursor::setPos(centre);
  QTest::mouseMove(hovered, hovered->rect().center());
  const auto* button = static_cast<units::PictureButtonWidget*>(hovered);
  if (!QTest::qWaitFor(
          [button] { return button->CurrentState() == units::PictureButtonWidget::kHot; }))
    return 1;
  QWidget* top = window->Widget();
  if (!showcase::PaintNow(top)) return 1;
  QImage shot = top->screen()
                    ->grabWindow(0, top->frameGeometry().x(), top->frameGeometry().y(),
                                 top->frameGeometry().width(), top->frameGeometry().height())
                    .toImage();
  if (shot.isNull() || shot.size().isEmpty()) shot = top->grab().toImage();
  if (!shot.save(QString::fromLocal8Bit(argv[1]))) return 1;
  forms.ReleaseAllTemplates();
  return 0;
}
