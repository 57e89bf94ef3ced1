// The writing desk as an author sees it, saved as screenshots in a folder: start.png (three
// chapters, Chinese text, the pointer on the close button), statistics.png (the figures
// running and the clock), smallest.png and 1280x800.png (the window at those sizes),
// colour_picker.png and font_dialog.png (the settings), menu.png (the text box's pop-up menu
// open), history_chart.png (the chart of a made-up month of writing, with its target),
// chapter_history.png (a chapter's earlier version beside its text, the changes marked),
// deleted_chapters.png (a deleted chapter's versions), layout_before.png and layout_after.png
// (a chapter before and after 排版), find_replace.png (every hit of a name across the novel),
// import_preview.png (the chapters a TXT novel would make),
// full_disk.png (the warning line when the disk is full), close_box.png (the question
// at the close with unsaved text) and maximised.png. The real program runs in a fresh program
// folder.
//
//   xvfb-run -a -s "-screen 0 1280x800x24" build/tests/showcase/writing_desk_showcase shots/
//
// or under a window manager (openbox running on the same display) for the maximised shot as a
// desktop makes it.
#include <QApplication>
#include <QCursor>
#include <QDialog>
#include <QFontDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>

#include "app/gate_calls.h"
#include "app/main_window_ids.h"
#include "app/novel_transfer.h"
#include "forms/forms_runtime.h"
#include "platform/core/clock.h"
#include "platform/core/code_page.h"
#include "platform/core/fault_injection.h"
#include "platform/core/native_path.h"
#include "runtime/runtime_state.h"
#include "tests/app/desk_child.h"
#include "tests/app/desk_test.h"
#include "units/colorpicker/color_drop_down.h"
#include "units/colorpicker/color_picker_unit.h"
#include "writing_history/history_file.h"

namespace {

namespace fs = std::filesystem;
using namespace app;

fs::path shots;  // set in the program's process

QWidget* UnitWidget(uint32_t unit) {
  gui::Window* window = forms::FormsRuntime::Instance().UnitWindow(kMainWindow, unit);
  return window == nullptr ? nullptr : window->Widget();
}

// The screen around `widgets` (or, with no screen to grab, the widgets drawn in place).
bool Save(const std::vector<QWidget*>& widgets, const char* name) {
  QRect area;
  for (QWidget* widget : widgets) {
    widget->repaint();
    area = area.united(widget->frameGeometry());
  }
  QApplication::processEvents();
  QImage shot = widgets[0]
                    ->screen()
                    ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
                    .toImage();
  if (shot.isNull() || shot.size().isEmpty()) {
    shot = QImage(area.size(), QImage::Format_RGB32);
    shot.fill(Qt::darkGray);
    QPainter painter(&shot);
    for (QWidget* widget : widgets)
      painter.drawImage(widget->geometry().topLeft() - area.topLeft(), widget->grab().toImage());
  }
  return shot.save(QString::fromStdString((shots / name).string()));
}

void Click(QWidget* widget, Qt::MouseButton button = Qt::LeftButton, QPoint at = {}) {
  QTest::mouseClick(widget, button, {}, at.isNull() ? widget->rect().center() : at);
}

void AddChapter(const std::string& name, const std::vector<std::string>& paragraphs) {
  Click(UnitWidget(unit::kNewChapterButton));
  desk_tests::TypeInto(UnitWidget(unit::kNameBox), name);
  QWidget* text = UnitWidget(unit::kTextBox);
  text->setFocus(Qt::MouseFocusReason);
  desk_tests::TypeInto(text, "    ");
  for (size_t i = 0; i < paragraphs.size(); ++i) {
    desk_tests::TypeInto(text, paragraphs[i]);
    if (i + 1 < paragraphs.size()) QTest::keyClick(text, Qt::Key_Return);
  }
}

// Waits for `condition` (a shot that shows it too early shows the wrong thing); gives up with a
// failure after ten seconds.
void WaitFor(const char* what, const std::function<bool()>& condition) {
  if (!QTest::qWaitFor(condition, 10000)) {
    std::fprintf(stderr, "writing_desk_showcase: never %s\n", what);
    std::fflush(nullptr);
    std::_Exit(1);
  }
}

std::string CaptionOf(forms::UnitId unit) {
  return platform::GbkToUtf8(app::ReadText(unit, property::kCaption).View());
}

// A modal window of type T opens and blocks the caller: `shoot` runs once it is visible.
template <typename T>
void WhenShown(const std::function<void(T*)>& shoot) {
  auto* poll = new QTimer;
  QObject::connect(poll, &QTimer::timeout, [poll, shoot] {
    for (QWidget* top : QApplication::topLevelWidgets()) {
      auto* window = qobject_cast<T*>(top);
      if (window == nullptr || !window->isVisible()) continue;
      poll->stop();
      poll->deleteLater();
      shoot(window);
      return;
    }
  });
  poll->start(20);
}

// A modal window named `name` opens and blocks the caller: `shoot` runs once it is visible.
void WhenShownNamed(const char* name, const std::function<void(QDialog*)>& shoot) {
  auto* poll = new QTimer;
  QObject::connect(poll, &QTimer::timeout, [poll, name, shoot] {
    auto* window = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (window == nullptr || window->objectName() != name || !window->isVisible()) return;
    poll->stop();
    poll->deleteLater();
    shoot(window);
  });
  poll->start(20);
}

// Chooses the item starting with `item` in the pop-up menu a right click on `widget` opens.
void ChooseFromMenu(QWidget* widget, const char* item) {
  WhenShown<QMenu>([item](QMenu* menu) {
    for (QAction* action : menu->actions()) {
      if (action->text().startsWith(QString::fromUtf8(item))) menu->setActiveAction(action);
    }
    QTest::keyClick(menu, Qt::Key_Return);
  });
  QTest::mousePress(widget, Qt::RightButton, {}, QPoint(60, 40));
  QTest::mouseRelease(widget, Qt::RightButton, {}, QPoint(60, 40));
}

void Finish(int code) {
  std::fflush(nullptr);
  std::_Exit(code);
}

void TakeShots() {
  QWidget* window = UnitWidget(0);
  window->activateWindow();
  if (!QTest::qWaitForWindowExposed(window)) Finish(1);
  AddChapter("第一章 风起青萍之末",
             {"天色将晚，山路上只剩一盏灯。", "他停下脚步，回头望了一眼来时的路。"});
  AddChapter("第二章 夜雨", {"雨下了一整夜，竹帘被风拍得作响。", "她把信压在砚台下，吹熄了灯。"});
  AddChapter("第三章 渡口", {"渡口的船夫认得他，只是不说。", "江面上的雾还没有散，远处传来钟声。",
                             "他数着铜钱，一枚，两枚，三枚。"});
  auto* tree = qobject_cast<QTreeWidget*>(UnitWidget(unit::kChapterList));
  Click(tree->viewport(), Qt::LeftButton, tree->visualItemRect(tree->topLevelItem(1)).center());
  WaitFor("showed the second chapter", [] {
    return platform::GbkToUtf8(app::ReadText(unit::kNameBox, property::kContent).View()) ==
           "第二章 夜雨";
  });
  QWidget* close = UnitWidget(unit::kCloseButton);
  // Delivered at once: the shot shows the button's hot colour.
  QTest::mouseMove(window->windowHandle(), close->mapTo(window, close->rect().center()));
  if (!Save({window}, "start.png")) Finish(1);

  // A few keys start the figures.
  QWidget* typing = UnitWidget(unit::kTextBox);
  typing->setFocus(Qt::MouseFocusReason);
  QTest::keyClick(typing, Qt::Key_End, Qt::ControlModifier);
  desk_tests::TypeInto(typing, "钟声远了。");
  WaitFor("counted three seconds",
          [] { return CaptionOf(unit::kSeconds) == "3"; });  // three ticks of the figures
  if (!Save({window}, "statistics.png")) Finish(1);
  // As small as the window may be made, then a common laptop's screen.
  window->resize(100, 100);
  WaitFor("laid out at the smallest", [window] {
    return window->width() < 960 &&
           app::ReadInt(unit::kCloseButton, property::kLeft) == window->width() - 60;
  });
  if (!Save({window}, "smallest.png")) Finish(1);
  window->resize(1280, 800);
  WaitFor("laid out for 1280",
          [] { return app::ReadInt(unit::kCloseButton, property::kLeft) > 1000; });
  if (!Save({window}, "1280x800.png")) Finish(1);
  window->resize(960, 580);
  QApplication::processEvents();

  auto* picker = dynamic_cast<units::ColorPickerUnit*>(
      forms::FormsRuntime::Instance().UnitWindow(kMainWindow, unit::kTextColorPicker));
  Click(picker->Widget(), Qt::LeftButton, QPoint(20, 12));
  WaitFor("opened the colours",
          [picker] { return picker->DropDown() != nullptr && picker->DropDown()->isVisible(); });
  units::ColorDropDown* drop_down = picker->DropDown();
  QTest::mouseMove(drop_down, drop_down->ItemRect(12).center());  // "红色"
  WaitFor("highlighted red", [drop_down] { return drop_down->Highlighted() == 12; });
  if (!Save({window, drop_down}, "colour_picker.png")) Finish(1);
  QTest::keyClick(drop_down, Qt::Key_Escape);

  WhenShown<QFontDialog>([window](QFontDialog* dialog) {
    if (!Save({window, dialog}, "font_dialog.png")) Finish(1);
    dialog->reject();
  });
  Click(UnitWidget(unit::kFontButton));

  // The pop-up menu is modal: it is photographed and closed from a timer.
  WhenShown<QMenu>([window](QMenu* menu) {
    if (!Save({window, menu}, "menu.png")) Finish(1);
    menu->close();
  });
  QWidget* text = UnitWidget(unit::kTextBox);
  QCursor::setPos(text->mapToGlobal(QPoint(200, 120)));  // the menu opens beside the pointer
  QTest::mousePress(text, Qt::RightButton, {}, QPoint(200, 120));
  QTest::mouseRelease(text, Qt::RightButton, {}, QPoint(200, 120));

  // The chart of the made-up month that main wrote before the start.
  WhenShown<QDialog>([](QDialog* chart) {
    WaitFor("drew the chart", [chart] { return chart->isActiveWindow(); });
    if (!Save({chart}, "history_chart.png")) Finish(1);
    chart->accept();
  });
  WhenShown<QMenu>([](QMenu* menu) {
    for (QAction* action : menu->actions()) {
      if (action->text().startsWith(QStringLiteral("写作记录"))) menu->setActiveAction(action);
    }
    QTest::keyClick(menu, Qt::Key_Return);
  });
  QTest::mousePress(text, Qt::RightButton, {}, QPoint(200, 120));
  QTest::mouseRelease(text, Qt::RightButton, {}, QPoint(200, 120));

  // The second chapter's history: the version kept when the author left it for the third,
  // beside today's text (a few words changed in its first paragraph, a sentence added).
  text->setFocus(Qt::MouseFocusReason);
  QTest::keyClick(text, Qt::Key_Home, Qt::ControlModifier);
  for (int i = 0; i < 7; ++i) QTest::keyClick(text, Qt::Key_Right);
  for (int i = 0; i < 3; ++i) QTest::keyClick(text, Qt::Key_Delete);
  desk_tests::TypeInto(text, "大半夜");
  WhenShownNamed("chapter_history", [](QDialog* history) {
    WaitFor("showed the history", [history] { return history->isActiveWindow(); });
    if (!Save({history}, "chapter_history.png")) Finish(1);
    history->reject();
  });
  ChooseFromMenu(text, "章节历史");
  // The third chapter deleted, then found among the deleted chapters.
  Click(tree->viewport(), Qt::LeftButton, tree->visualItemRect(tree->topLevelItem(2)).center());
  WaitFor("showed the third chapter", [] {
    return platform::GbkToUtf8(app::ReadText(unit::kNameBox, property::kContent).View()) ==
           "第三章 渡口";
  });
  Click(UnitWidget(unit::kDeleteButton));
  WaitFor("deleted the third chapter", [tree] { return tree->topLevelItemCount() == 2; });
  WhenShownNamed("chapter_history", [](QDialog* bin) {
    WaitFor("showed the deleted chapters", [bin] { return bin->isActiveWindow(); });
    if (!Save({bin}, "deleted_chapters.png")) Finish(1);
    bin->reject();
  });
  ChooseFromMenu(tree->viewport(), "已删除的章节");

  // The first chapter laid out: typed with four-space indents and half-width marks, then
  // Ctrl+Shift+F.
  Click(tree->viewport(), Qt::LeftButton, tree->visualItemRect(tree->topLevelItem(0)).center());
  WaitFor("showed the first chapter", [] {
    return platform::GbkToUtf8(app::ReadText(unit::kNameBox, property::kContent).View()) ==
           "第一章 风起青萍之末";
  });
  text->setFocus(Qt::MouseFocusReason);
  QTest::keyClick(text, Qt::Key_End, Qt::ControlModifier);
  QTest::keyClick(text, Qt::Key_Return);
  desk_tests::TypeInto(text, "\"走吧,\"他说,\"天黑之前要过河...\"");
  QTest::keyClick(text, Qt::Key_Return);
  QTest::keyClick(text, Qt::Key_Return);
  desk_tests::TypeInto(text, "她没有答话--只是点了点头.");
  if (!Save({window}, "layout_before.png")) Finish(1);
  QTest::keyClick(text, Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
  WaitFor("laid the chapter out", [] {
    return platform::GbkToUtf8(app::ReadText(unit::kTextBox, property::kContent).View())
        .starts_with("　　天色");
  });
  if (!Save({window}, "layout_after.png")) Finish(1);
  // Every "他" of the novel listed in the find window.
  QTest::keyClick(text, Qt::Key_H, Qt::ControlModifier);
  QDialog* find = nullptr;
  WaitFor("opened the find window", [&find] {
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (top->objectName() == "find_replace" && top->isVisible())
        find = qobject_cast<QDialog*>(top);
    }
    return find != nullptr;
  });
  auto* find_text = find->findChild<QLineEdit*>("find_text");
  find_text->setFocus();
  desk_tests::TypeInto(find_text, "他");
  desk_tests::TypeInto(find->findChild<QLineEdit*>("replace_text"), "");
  Click(find->findChild<QRadioButton*>("scope_novel"));
  Click(find->findChild<QPushButton*>("find_all"));
  find->move(window->geometry().left() + 120, window->geometry().top() + 90);
  WaitFor("listed the hits",
          [find] { return find->findChild<QTreeWidget*>("hits")->topLevelItemCount() > 0; });
  WaitFor("showed the find window", [find] { return find->isActiveWindow() && find->isVisible(); });
  if (!Save({window, find}, "find_replace.png")) Finish(1);
  find->close();

  // The preview of a TXT novel brought in from elsewhere (GBK, headings of several forms).
  {
    const fs::path novel = fs::temp_directory_path() / "inkstone-showcase-novel.txt";
    std::ofstream(novel, std::ios::binary) << platform::Utf8ToGbk(
        "楔子\r\n　　那一年，江南下了很久的雨。\r\n第一卷 风起\r\n第一章 "
        "渡口\r\n　　渡口的船夫认得他，只是不说。\r\n"
        "　　他读到第三章的时候，天已经黑了。\r\n第二章 "
        "夜雨\r\n　　雨下了一整夜，竹帘被风拍得作响。\r\n"
        "【第三章】 旧信\r\n　　她把信压在砚台下，吹熄了灯。𠀀\r\n番外 "
        "多年以后\r\n　　多年以后，他又回到那个渡口。\r\n");
    app::UseImportFileChooser([novel] { return QString::fromStdString(novel.string()); });
    WhenShownNamed("novel_import", [](QDialog* preview) {
      WaitFor("showed the preview", [preview] { return preview->isActiveWindow(); });
      if (!Save({preview}, "import_preview.png")) Finish(1);
      preview->reject();
    });
    ChooseFromMenu(tree->viewport(), "导入小说");
    app::UseImportFileChooser(nullptr);
  }

  // The program's disk fills while the author types: the warning line, then the close box.
  platform::DeclareFolderFull(runtime::Runtime().program_directory);
  text->setFocus(Qt::MouseFocusReason);
  QTest::keyClick(text, Qt::Key_End, Qt::ControlModifier);
  desk_tests::TypeInto(text, "雾散了。");
  WaitFor("warned of the full disk",
          [] { return CaptionOf(unit::kForumLabel).starts_with("章节未能保存：磁盘"); });
  WaitFor("answered the failure's box", [] {
    for (QWidget* top : QApplication::topLevelWidgets()) {
      if (qobject_cast<QMessageBox*>(top) != nullptr && top->isVisible()) return false;
    }
    return true;
  });
  if (!Save({window}, "full_disk.png")) Finish(1);
  WhenShown<QMessageBox>([window](QMessageBox* box) {
    if (!Save({window, box}, "close_box.png")) Finish(1);
    box->reject();  // Esc: the window stays
  });
  Click(UnitWidget(unit::kCloseButton));
  platform::DeclareEveryFolderFree();
  WaitFor("saved again", [] { return !CaptionOf(unit::kForumLabel).starts_with("章节未能保存"); });

  Click(UnitWidget(unit::kMaximiseButton));
  // Without a window manager (xvfb) the state changes, the size may not; under one (openbox)
  // the new size may come after the state, and the shot waits for it a moment.
  WaitFor("maximised", [window] { return window->isMaximized(); });
  (void)QTest::qWaitFor(
      [window] { return window->frameGeometry() == window->screen()->availableGeometry(); }, 2000);
  WaitFor("laid out for the maximised window", [window] {
    return app::ReadInt(unit::kCloseButton, property::kLeft) == window->width() - 60;
  });
  Finish(Save({window}, "maximised.png") ? 0 : 1);
}

// Thirty days of writing before today, against a target of 4,000 characters: most days met,
// a weekend off, one day of cutting.
void WriteMadeUpMonth(const fs::path& folder) {
  const platform::LocalTime now = platform::NowLocal();
  const writing_history::DayNumber today =
      writing_history::DayNumberOf(now.year, now.month, now.day);
  writing_history::History history;
  history.set_target(4000);
  for (int back = 30; back >= 1; --back) {
    const int64_t characters = back == 12 || back == 13 ? 0
                               : back == 20             ? -800
                                                        : 2600 + (back * 1733) % 3900;
    history.AddCharacters(today - back, characters);
    for (int minute = 0; minute < characters / 60; ++minute) history.AddMinute(today - back);
  }
  if (!writing_history::SaveHistory(
          platform::GbkPathOf(folder / fs::u8path("小说数据/写作记录.json")), history)) {
    std::fprintf(stderr, "writing_desk_showcase: cannot write the made-up history\n");
    std::exit(1);
  }
}

void StartShots() {
  if (shots.empty()) return;
  auto* poll = new QTimer;
  QObject::connect(poll, &QTimer::timeout, [poll] {
    QWidget* window = UnitWidget(0);
    if (window == nullptr || !window->isVisible()) return;
    poll->stop();
    QTimer::singleShot(0, &TakeShots);  // outside the timer that found the window
  });
  poll->start(50);
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(StartShots)

int main(int argc, char** argv) {
  if (argc >= 4 && std::string(argv[1]) == "--desk" && std::string(argv[2]) == "--shots") {
    shots = argv[3];
    return desk_tests::RunDeskChild(argc, argv);
  }
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <folder for the screenshots>\n", argv[0]);
    return 2;
  }
  const fs::path out = fs::absolute(argv[1]);
  fs::create_directories(out);
  const fs::path folder = desk_tests::MakeProgramFolder();
  WriteMadeUpMonth(folder);
  // Rescue copies of the full-disk shots go to a home folder of their own.
  fs::create_directories(folder / "home");
  test_support::SetVariable(desk_tests::kHomeVariable, (folder / "home").string());
  const int code =
      desk_tests::StartDeskChild(folder, {"--shots", out.string()})->Wait().value_or(1);
  fs::remove_all(folder);
  return code;
}
