// The chapter history as an author meets it: versions kept while writing, browsed and compared
// in the history window (real clicks), a version brought back, a deleted chapter brought back
// from the bin; the store then read back from the disk.
#include <QApplication>
#include <QClipboard>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextEdit>
#include <QTimer>
#include <functional>
#include <string>

#include "app/chapters.h"
#include "app/desk_writer.h"
#include "chapter_history/version_store.h"
#include "chapter_history/window/history_window.h"
#include "platform/core/code_page.h"
#include "platform/core/fault_injection.h"
#include "platform/core/native_path.h"
#include "platform/gui/notice.h"
#include "tests/app/desk_test.h"
#include "tests/support/popup_menu_watch.h"

namespace desk_tests {

namespace {

using namespace app;
using chapter_history::HistoryWindow;

QString Q(const std::string& utf8) { return QString::fromStdString(utf8); }

// A paragraph of `n` Chinese characters (the count shows n).
std::string Paragraph(int n, const std::string& start) {
  std::string text = start;
  const char* const words[] = {"风", "起", "云", "涌", "山", "河", "人", "间"};
  for (int i = 0; i < n; ++i) text += words[i % 8];
  return text;
}

class ChapterHistory : public DeskTest {
 protected:
  // Opens the window with `open` (which ends in a menu item), runs `act` on it once it is up
  // (it should end it with a button) and waits until it is gone. A window left open is closed
  // after a while, so that a failing check cannot hold the test for ever.
  bool WithHistoryWindow(const std::function<void()>& open,
                         const std::function<void(HistoryWindow&)>& act) {
    bool acted = false;
    int polls = 0;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
      auto* window = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (window == nullptr || window->objectName() != "chapter_history") return;
      if (!acted) {
        acted = true;
        act(*static_cast<HistoryWindow*>(window));
      } else if (++polls > 200) {
        window->reject();
      }
    });
    watch.start(50);
    open();
    return QTest::qWaitFor([&] { return acted && QApplication::activeModalWidget() == nullptr; },
                           10000);
  }

  // Chooses `caption` in the pop-up menu that a right click on `unit` opens, by a click on it.
  void ChooseInMenu(uint32_t unit, const char* caption) {
    ASSERT_TRUE(test_support::WithPopupMenu(
        [&] { RightClick(unit, QPoint(20, 20)); },
        [&](QMenu& menu) {
          for (QAction* action : menu.actions()) {
            if (action->text() == Q(caption)) {
              QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.actionGeometry(action).center());
              return;
            }
          }
          menu.close();
        }));
  }

  static void Click(QWidget& window, const char* name) {
    auto* button = window.findChild<QPushButton*>(name);
    ASSERT_NE(button, nullptr) << name;
    QTest::mouseClick(button, Qt::LeftButton);
  }

  static QStringList Lines(QListWidget* list) {
    QStringList lines;
    for (int i = 0; i < list->count(); ++i) lines << list->item(i)->text();
    return lines;
  }

  // The store as the desk left it on the disk, read as the database tool reads it.
  std::unique_ptr<chapter_history::VersionStore> StoreOnDisk() {
    chapter_history::OpenReport report;
    return chapter_history::VersionStore::OpenToRead(
        platform::GbkPathOf(Path("小说数据/章节历史.dat")), &report);
  }

  bool RecordHolds(size_t index, const std::string& name, const std::string& text) {
    return WaitFor([&] {
      const std::vector<ChapterRecord> records = ReadChapterRecords(folder_);
      return records.size() > index && records[index].name == name && records[index].text == text;
    });
  }
};

// Whether some text of `pane` is marked as taken out (struck through).
bool MarksRemovedText(QTextEdit* pane, const QString& removed) {
  for (QTextBlock block = pane->document()->begin(); block.isValid(); block = block.next()) {
    for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
      if (fragment.fragment().charFormat().fontStrikeOut() &&
          fragment.fragment().text().contains(removed))
        return true;
    }
  }
  return false;
}

TEST_F(ChapterHistory, TextTypedOverAfterSelectAllComesBackFromTheHistoryWindow) {
  StartDesk();
  const std::string written = Paragraph(240, "开篇");
  AddChapter("第一章", written);
  ASSERT_TRUE(RecordHolds(0, "第一章", written));
  // Everything selected and typed over: a change of hundreds of characters at once.
  Key(Qt::Key_A, Qt::ControlModifier);
  Type("新");
  ASSERT_TRUE(RecordHolds(0, "第一章", "新"));
  AddChapter("第二章", "乙");  // leaving the first chapter keeps it as it is now
  ClickItem(0);
  ASSERT_TRUE(WaitFor([&] { return TextBox() == "新"; }));

  QStringList lines;
  bool marked = false;
  bool copied = false;
  ASSERT_TRUE(WithHistoryWindow(
      [&] { ChooseInMenu(unit::kTextBox, "章节历史…"); },
      [&](HistoryWindow& window) {
        auto* versions = window.findChild<QListWidget*>("versions");
        lines = Lines(versions);
        // Newest first: the text as left ("新"), then as it was before the select-all.
        const int before = static_cast<int>(lines.indexOf(QRegularExpression(".*大段改动之前.*")));
        if (before < 0) return Click(window, "close");
        QTest::mouseClick(versions->viewport(), Qt::LeftButton, {},
                          versions->visualItemRect(versions->item(before)).center());
        marked = MarksRemovedText(window.findChild<QTextEdit*>("version_text"), Q("开篇风起"));
        Click(window, "copy");
        copied = QApplication::clipboard()->text() == Q(written);
        Click(window, "restore");
      }));
  ASSERT_GE(lines.size(), 2) << lines.join("\n").toStdString();
  EXPECT_TRUE(lines[0].contains(Q("离开章节"))) << lines.join("\n").toStdString();
  EXPECT_TRUE(marked);
  EXPECT_TRUE(copied);
  // The restored text is the chapter's again, on the screen and in its record.
  EXPECT_EQ(TextBox(), written);
  EXPECT_TRUE(RecordHolds(0, "第一章", written));
  // And the restore can itself be taken back: the text it replaced ("新") is a version before
  // the restored one, which leaving the chapter kept as its newest.
  ClickItem(1);
  ASSERT_TRUE(WaitFor([&] { return TextBox() == "乙"; }));
  FinishDeskWrites();  // the versions handed at the switch are on the disk
  const auto store = StoreOnDisk();
  ASSERT_NE(store, nullptr);
  const chapter_history::ChapterId first = store->Chapters().front();
  const auto versions = store->Versions(first);
  std::vector<std::string> texts;
  for (size_t i = 0; i < versions.size(); ++i) {
    chapter_history::VersionText text;
    ASSERT_TRUE(store->Read({first, i}, &text));
    texts.push_back(platform::GbkToUtf8(text.text));
  }
  ASSERT_GE(texts.size(), 3u);
  EXPECT_EQ(texts.back(), written);
  EXPECT_EQ(texts[texts.size() - 2], "新");
  EXPECT_EQ(texts[texts.size() - 3], written);  // kept before the select-all was typed over
}

TEST_F(ChapterHistory, ADeletedChapterComesBackFromTheBinAsANewChapter) {
  StartDesk();
  AddChapter("第一章", "甲");
  const std::string lost = Paragraph(50, "删掉的");
  AddChapter("误删的一章", lost);
  ASSERT_TRUE(RecordHolds(1, "误删的一章", lost));
  AnswerBoxesWith("确定");
  ClickInto(unit::kDeleteButton);
  ASSERT_TRUE(WaitFor([&] { return ItemTexts().size() == 1; }));

  QStringList chapters;
  ASSERT_TRUE(WithHistoryWindow([&] { ChooseInMenu(unit::kChapterList, "已删除的章节…"); },
                                [&](HistoryWindow& window) {
                                  chapters =
                                      Lines(window.findChild<QListWidget*>("deleted_chapters"));
                                  Click(window, "restore");
                                }));
  ASSERT_EQ(chapters.size(), 1);
  EXPECT_TRUE(chapters[0].startsWith(Q("误删的一章")));
  // A new chapter at the end, shown, saved like any other.
  ASSERT_TRUE(WaitFor([&] { return ItemTexts().size() == 2; }));
  EXPECT_EQ(CurrentItem(), 1);
  EXPECT_EQ(NameBox(), "误删的一章");
  EXPECT_EQ(TextBox(), lost);
  EXPECT_TRUE(RecordHolds(2, "误删的一章", lost));  // record 2: the deleted one is record 1
  // Its versions came with it: the bin is empty again.
  ASSERT_TRUE(WithHistoryWindow([&] { ChooseInMenu(unit::kChapterList, "已删除的章节…"); },
                                [&](HistoryWindow& window) {
                                  chapters =
                                      Lines(window.findChild<QListWidget*>("deleted_chapters"));
                                  Click(window, "close");
                                }));
  EXPECT_TRUE(chapters.isEmpty()) << chapters.join("\n").toStdString();
}

// A version the disk cannot take while the chapters still save (nothing typed: no save to fail)
// is told in a notice, which takes no keys; the desk goes on.
TEST_F(ChapterHistory, AVersionTheDiskCannotTakeIsToldInANotice) {
  StartDesk();
  AddChapter("第一章", "甲");
  AddChapter("第二章", "乙");
  ASSERT_TRUE(RecordHolds(1, "第二章", "乙"));
  platform::DeclareFolderFull(platform::GbkPathOf(Path("小说数据")));
  ClickItem(0);  // leaving the second chapter keeps its first version: the store cannot grow
  ASSERT_TRUE(WaitFor([&] { return NameBox() == "第一章"; }));
  EXPECT_TRUE(WaitFor([] { return gui::NoticeShown(); }));
  platform::DeclareEveryFolderFree();
  EXPECT_TRUE(boxes_.empty());
  gui::CloseNotice();
}

}  // namespace

}  // namespace desk_tests
