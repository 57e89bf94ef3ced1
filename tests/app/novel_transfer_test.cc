// A novel in and out of the desk as an author does it: "导入小说…" (the file chosen, the
// preview's chapters, 导入) and "导出小说…" (format and destination, 导出), then the
// records and the files read back; an export imported again gives the same chapters.
#include "app/novel_transfer.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QTreeWidget>
#include <fstream>
#include <functional>
#include <set>
#include <string>

#include "platform/core/code_page.h"
#include "tests/app/desk_test.h"
#include "tests/support/popup_menu_watch.h"

namespace desk_tests {

namespace {

namespace fs = std::filesystem;
using namespace app;

class NovelTransfer : public DeskTest {
 protected:
  // Chooses `caption` in the chapter list's pop-up menu; while the windows it opens are up,
  // `act` gets each modal window once (by its object name) and should end it. False when one
  // was left open (closed after a while, so that a failing check cannot hold the test).
  bool FromListMenu(const char* caption, const std::function<void(QWidget&)>& act) {
    std::set<QWidget*> seen;
    int polls = 0;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
      QWidget* modal = QApplication::activeModalWidget();
      if (modal == nullptr || qobject_cast<QMessageBox*>(modal) != nullptr) return;
      if (seen.insert(modal).second) {
        act(*modal);
      } else if (++polls > 200) {
        modal->close();
      }
    });
    watch.start(50);
    const bool chosen = test_support::WithPopupMenu(
        [&] { RightClick(unit::kChapterList, QPoint(20, 20)); },
        [&](QMenu& menu) {
          for (QAction* action : menu.actions()) {
            if (action->text() == QString::fromUtf8(caption)) {
              QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.actionGeometry(action).center());
              return;
            }
          }
          menu.close();
        });
    return chosen &&
           QTest::qWaitFor([&] { return QApplication::activeModalWidget() == nullptr; }, 10000) &&
           polls <= 200;
  }

  static void Click(QWidget& window, const char* name) {
    auto* button = window.findChild<QAbstractButton*>(name);
    ASSERT_NE(button, nullptr) << name;
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
  }

  void TearDown() override {
    UseImportFileChooser(nullptr);
    DeskTest::TearDown();
  }

  // Imports `file` through the menu (the file as chosen) and the preview; the preview's
  // chapters (name and count columns) are given back.
  std::vector<std::string> Import(const fs::path& file) {
    std::vector<std::string> previewed;
    UseImportFileChooser([file] { return QString::fromStdU16String(file.u16string()); });
    EXPECT_TRUE(FromListMenu("导入小说…", [&](QWidget& window) {
      ASSERT_EQ(window.objectName(), "novel_import");
      auto* list = window.findChild<QTreeWidget*>("chapters");
      ASSERT_NE(list, nullptr);
      for (int i = 0; i < list->topLevelItemCount(); ++i) {
        previewed.push_back(list->topLevelItem(i)->text(0).toStdString() + "|" +
                            list->topLevelItem(i)->text(2).toStdString());
      }
      Click(window, "ok");
    }));
    return previewed;
  }
};

TEST_F(NovelTransfer, AGbkNovelIsImportedAfterThePreviewAndEndsUpAfterTheChapters) {
  AnswerBoxesWith("确定");
  StartDesk();
  AddChapter("序", "原有的一章");
  const fs::path file = folder_ / "旧稿.txt";
  std::ofstream(file, std::ios::binary) << platform::Utf8ToGbk(
      "第一章 风起\r\n　　天色将晚。\r\n\r\n第二章 夜雨\r\n　　他读到第三章的时候睡着了。\r\n"
      "第一千二百三十四章 渡口\r\n　　他数着铜钱𠀀。\r\n");
  const std::vector<std::string> previewed = Import(file);
  EXPECT_EQ(previewed, (std::vector<std::string>{"第一章 风起|5", "第二章 夜雨|13",
                                                 "第一千二百三十四章 渡口|7"}));
  ASSERT_FALSE(boxes_.empty());
  EXPECT_EQ(boxes_.back().text, "已导入 3 章，共 25 字，在章节列表的最后。");
  const std::vector<std::string> items = ItemTexts();
  EXPECT_EQ(std::vector<std::string>(items.begin() + 1, items.end()),
            (std::vector<std::string>{"第一章 风起", "第二章 夜雨", "第一千二百三十四章 渡口"}));
  const std::vector<ChapterRecord> records = ReadChapterRecords(folder_);
  ASSERT_EQ(records.size(), 4u);
  // Saved as a chapter typed in is: without leading blanks.
  EXPECT_EQ(records[1].text, "天色将晚。");
  EXPECT_EQ(records[2].text, "他读到第三章的时候睡着了。");
  EXPECT_EQ(records[3].name, "第一千二百三十四章 渡口");
  EXPECT_EQ(records[3].text, "他数着铜钱𠀀。");  // kept as its four GB18030 bytes
  for (const ChapterRecord& record : records) EXPECT_FALSE(record.deleted);
  // An imported chapter is a chapter like any other: shown, edited, saved.
  ClickItem(2);
  ASSERT_TRUE(WaitFor([&] { return NameBox() == "第二章 夜雨"; }));
}

TEST_F(NovelTransfer, ANovelExportedAsTxtAndImportedAgainGivesTheSameChapters) {
  AnswerBoxesWith("确定");
  StartDesk();
  AddChapter("第一章 风起", "　　山路上只剩一盏灯。");
  AddChapter("第二章 夜雨", "　　雨下了一整夜。");
  const fs::path exported = folder_ / "导出" / "全书.txt";
  fs::create_directories(exported.parent_path());
  ASSERT_TRUE(FromListMenu("导出小说…", [&](QWidget& window) {
    ASSERT_EQ(window.objectName(), "novel_export");
    Click(window, "format_txt");
    auto* destination = window.findChild<QLineEdit*>("destination");
    ASSERT_NE(destination, nullptr);
    destination->setText(QString::fromStdU16String(exported.u16string()));
    Click(window, "ok");
  }));
  ASSERT_TRUE(fs::exists(exported));
  EXPECT_EQ(boxes_.back().text.rfind("已导出 2 章到 ", 0), 0u) << boxes_.back().text;
  // No temporary file is left beside it.
  EXPECT_EQ(std::distance(fs::directory_iterator(exported.parent_path()), fs::directory_iterator()),
            1);
  const std::vector<std::string> previewed = Import(exported);
  EXPECT_EQ(previewed.size(), 2u);
  // The copies equal the chapters (the one shown once its record has its boxes' text).
  EXPECT_TRUE(WaitFor([&] {
    const std::vector<ChapterRecord> records = ReadChapterRecords(folder_);
    return records.size() == 4 && records[0].name == "第一章 风起" &&
           records[1].name == "第二章 夜雨" && records[2].name == records[0].name &&
           records[2].text == records[0].text && records[3].name == records[1].name &&
           records[3].text == records[1].text;
  }));
}

}  // namespace

}  // namespace desk_tests
