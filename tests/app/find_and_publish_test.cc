// Find and replace across the novel, the one-key layout, the platforms' counts and the copy for
// publishing, as an author meets them: keys and clicks on the desk and its windows, then the
// records, the clipboard and the chapter history read back.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolTip>
#include <QTreeWidget>
#include <fstream>
#include <functional>
#include <string>

#include "app/chapter_versions.h"
#include "app/chapters.h"
#include "chapter_history/version_store.h"
#include "database/database.h"
#include "database/database_list.h"
#include "platform/core/code_page.h"
#include "platform/core/native_path.h"
#include "runtime/owned_blocks.h"
#include "tests/app/desk_test.h"
#include "tests/support/damaged_chain.h"
#include "tests/support/popup_menu_watch.h"
#include "units/editbox/edit_box_methods.h"

namespace desk_tests {

namespace {

namespace fs = std::filesystem;
using namespace app;

QString Q(const std::string& utf8) { return QString::fromStdString(utf8); }

class FindAndPublish : public DeskTest {
 protected:
  // Chapters written into the database before the desk starts (texts in UTF-8, "\r\n" breaks).
  void FillNovel(int count, const std::function<std::string(int)>& name_of,
                 const std::function<std::string(int)>& text_of) {
    database::OpenOptions options;
    options.path = platform::GbkPathOf(Path("小说数据/data.edb"));
    std::unique_ptr<database::Database> db;
    ASSERT_EQ(database::Database::Open(options, &db), 0);
    for (int i = 0; i < count; ++i) {
      ASSERT_EQ(db->AppendBlank(), 0);
      const runtime::Text name(platform::Utf8ToGbk(name_of(i)));
      const std::string gbk = platform::Utf8ToGbk(text_of(i));
      const runtime::ByteSet text(
          std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(gbk.data()), gbk.size()));
      const database::FieldUpdate updates[] = {{platform::Utf8ToGbk("姓名"), name.Arg()},
                                               {platform::Utf8ToGbk("学号"), text.Arg()}};
      ASSERT_EQ(db->UpdateRecords(nullptr, updates), 0);
    }
    ASSERT_EQ(db->Flush(), 0);
  }

  QWidget* FindWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
      if (widget->objectName() == "find_replace" && widget->isVisible()) return widget;
    }
    return nullptr;
  }

  template <typename Control>
  Control* In(QWidget* window, const char* name) {
    auto* control = window->findChild<Control*>(name);
    EXPECT_NE(control, nullptr) << name;
    return control;
  }

  void Click(QWidget* window, const char* name) {
    QAbstractButton* button = In<QAbstractButton>(window, name);
    if (button != nullptr) QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
  }

  void TypeIn(QWidget* window, const char* name, const std::string& utf8) {
    QLineEdit* field = In<QLineEdit>(window, name);
    if (field == nullptr) return;
    field->setFocus();
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    TypeInto(field, utf8);
  }

  void ChooseInMenu(uint32_t unit, const char* caption) {
    ASSERT_TRUE(test_support::WithPopupMenu(
        [&] { RightClick(unit, QPoint(20, 20)); },
        [&](QMenu& menu) {
          for (QAction* action : menu.actions()) {
            if (action->text().startsWith(Q(caption))) {
              QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.actionGeometry(action).center());
              return;
            }
          }
          menu.close();
        }));
  }

  QString WidgetText() { return units::WidgetText(kMainWindow, unit::kTextBox); }

  void WriteFile(const std::string& utf8_path, const std::string& bytes) {
    std::ofstream(Path(utf8_path), std::ios::binary) << bytes;
  }
};

// The record of the chapter shown holds its text without leading blanks (the desk's saves trim
// them), so its first paragraph's indent is not in it.
std::string AsSaved(const std::string& text, bool shown) {
  const std::string indent = "　　";
  return shown && text.starts_with(indent) ? text.substr(indent.size()) : text;
}

std::string Chapter(int i) {
  return "　　第" + std::to_string(i) + "天，李云飞走进屋子。\r\n　　门外有人喊：李雲飞！";
}

TEST_F(FindAndPublish, APatternReplacedAcrossThreeHundredChaptersIsTakenBackAsOneStep) {
  FillNovel(
      300, [](int i) { return "第" + std::to_string(i + 1) + "章"; }, Chapter);
  StartDesk();
  ASSERT_TRUE(WaitFor([&] { return TextBox() == Chapter(0); }));
  ClickInto(unit::kTextBox);
  Key(Qt::Key_H, Qt::ControlModifier);
  ASSERT_TRUE(WaitFor([&] { return FindWindow() != nullptr; }));
  QWidget* window = FindWindow();
  TypeIn(window, "find_text", "李[云雲]飞");
  TypeIn(window, "replace_text", "林风");
  Click(window, "pattern");
  Click(window, "scope_novel");
  answerer_ = std::make_unique<test_support::MessageBoxAnswerer>(
      QStringLiteral("替换"),
      [this](const QString& caption, const QString& text, const QStringList&) {
        boxes_.push_back({caption.toStdString(), text.toStdString()});
      });
  Click(window, "replace_all");
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].text,
            "将在 300 章中替换 600 "
            "处。每章替换前的内容都存入章节历史，也可以用“撤销这次替换”一次撤回。要替换吗？");
  const auto replaced = [](int i) {
    return "　　第" + std::to_string(i) + "天，林风走进屋子。\r\n　　门外有人喊：林风！";
  };
  ASSERT_TRUE(WaitFor([&] {
    const std::vector<ChapterRecord> records = ReadChapterRecords(folder_);
    if (records.size() != 300) return false;
    for (int i = 0; i < 300; ++i) {
      if (records[i].text != AsSaved(replaced(i), i == 0)) return false;
    }
    return true;
  }));
  EXPECT_EQ(In<QLabel>(window, "summary")->text().toStdString(), "已替换 600 处，共 300 章。");
  // The chapter shown: one undo takes the whole replace back.
  ClickInto(unit::kTextBox);
  Key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(TextBox(), Chapter(0));
  // The others: "撤销这次替换" (the chapter shown, changed since, keeps its text).
  Click(window, "undo_replace");
  ASSERT_TRUE(WaitFor([&] {
    const std::vector<ChapterRecord> records = ReadChapterRecords(folder_);
    for (int i = 0; i < 300; ++i) {
      if (records[i].text != AsSaved(Chapter(i), i == 0)) return false;
    }
    return true;
  }));
  EXPECT_EQ(
      In<QLabel>(window, "summary")->text().toStdString(),
      "已撤销这次替换：299 章恢复原样。1 章替换后又改过，没有撤销（替换前的内容在章节历史中）。");
  // Every chapter's text from before the replace is in its history too.
  {
    const LockedVersions versions = ChapterVersionsForReading();
    ASSERT_NE(versions.store, nullptr);
    int kept = 0;
    for (const int32_t id : ListedChapterIds()) {
      for (const chapter_history::VersionInfo& version : versions.store->Versions(id)) {
        kept += version.reason == chapter_history::VersionReason::kBeforeReplace;
      }
    }
    EXPECT_GE(kept, 300);
  }
  AnswerBoxesWith("确定");
  ClickInto(unit::kCloseButton);
  ASSERT_TRUE(WaitFor([&] { return Unit(0) == nullptr; }));
  database::DatabaseList::Instance().CloseAll();  // as the program's end does
  EXPECT_TRUE(DatabaseFaults(folder_).empty());
}

TEST_F(FindAndPublish, AChapterThatCannotBeReadIsNeverWrittenOverByAReplace) {
  const std::string long_text = "李云飞" + std::string(800, 'x');  // two memo blocks
  FillNovel(
      3, [](int i) { return "第" + std::to_string(i + 1) + "章"; },
      [&](int i) { return i == 1 ? long_text : "李云飞到了。"; });
  ASSERT_TRUE(
      test_support::DamageMemoChain(Path("小说数据/data.edb"), 1, platform::Utf8ToGbk("学号")));
  StartDesk();
  ClickInto(unit::kTextBox);
  Key(Qt::Key_H, Qt::ControlModifier);
  ASSERT_TRUE(WaitFor([&] { return FindWindow() != nullptr; }));
  QWidget* window = FindWindow();
  TypeIn(window, "find_text", "李云飞");
  TypeIn(window, "replace_text", "林风");
  Click(window, "scope_novel");
  answerer_ = std::make_unique<test_support::MessageBoxAnswerer>(
      QStringLiteral("替换|确定"),
      [this](const QString& caption, const QString& text, const QStringList&) {
        boxes_.push_back({caption.toStdString(), text.toStdString()});
      });
  Click(window, "replace_all");
  ASSERT_EQ(boxes_.size(), 2u);
  EXPECT_TRUE(
      boxes_[1].text.starts_with("替换没有全部写入：有 1 章未能写入（它们保持原样）。原因："))
      << boxes_[1].text;
  ASSERT_TRUE(WaitFor([&] {
    const std::vector<ChapterRecord> records = ReadChapterRecords(folder_);
    return records.size() == 3 && records[0].text == "林风到了。" &&
           records[2].text == "林风到了。";
  }));
  AnswerBoxesWith("确定");
  ClickInto(unit::kCloseButton);
  ASSERT_TRUE(WaitFor([&] { return Unit(0) == nullptr; }));
  database::DatabaseList::Instance().CloseAll();
  // The damaged chain is as it was: the check finds the same damage, nothing more.
  const std::vector<std::string> faults = DatabaseFaults(folder_);
  EXPECT_EQ(faults.size(), 1u);
}

TEST_F(FindAndPublish, AClickOnAHitOpensItsChapterWithTheHitSelected) {
  FillNovel(
      20, [](int i) { return "第" + std::to_string(i + 1) + "章"; },
      [](int i) {
        return i == 13 ? std::string("　　他翻开ＡＢＣ手册。") : std::string("　　无事。");
      });
  StartDesk();
  ClickInto(unit::kTextBox);
  Key(Qt::Key_F, Qt::ControlModifier);
  ASSERT_TRUE(WaitFor([&] { return FindWindow() != nullptr; }));
  QWidget* window = FindWindow();
  TypeIn(window, "find_text", "abc");
  Click(window, "width");
  Click(window, "case");
  Click(window, "scope_novel");
  Click(window, "find_all");
  auto* hits = In<QTreeWidget>(window, "hits");
  ASSERT_EQ(hits->topLevelItemCount(), 1);
  EXPECT_EQ(hits->topLevelItem(0)->text(0).toStdString(), "第14章");
  QTest::mouseClick(hits->viewport(), Qt::LeftButton, {},
                    hits->visualItemRect(hits->topLevelItem(0)).center());
  ASSERT_TRUE(
      WaitFor([&] { return CurrentItem() == 13 && TextBox() == "　　他翻开ＡＢＣ手册。"; }));
  int32_t start = 0, end = 0;
  units::WidgetSelection(kMainWindow, unit::kTextBox, &start, &end);
  EXPECT_EQ(WidgetText().mid(start, end - start).toStdString(), "ＡＢＣ");
}

TEST_F(FindAndPublish, LayOutIsOneUndoStepAndLeavesALaidOutChapterAlone) {
  const std::string messy = "  他说,走吧...\r\n\r\n\r\n\t她答:好--\r\n　　3.5元 ";
  const std::string laid_out = "　　他说，走吧……\r\n　　她答：好——\r\n　　3.5元";
  FillNovel(
      1, [](int) { return std::string("第一章"); }, [&](int) { return messy; });
  StartDesk();
  ASSERT_TRUE(WaitFor([&] { return TextBox() == messy; }));
  ClickInto(unit::kTextBox);
  Key(Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(TextBox(), laid_out);
  EXPECT_EQ(FindWindow(), nullptr);  // Ctrl+Shift+F is not Ctrl+F
  Key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(TextBox(), messy);
  ChooseInMenu(unit::kTextBox, "排版");
  EXPECT_EQ(TextBox(), laid_out);
  ASSERT_TRUE(WaitFor([&] {
    const std::vector<ChapterRecord> records = ReadChapterRecords(folder_);
    return !records.empty() && records[0].text == AsSaved(laid_out, true);
  }));
  // Laid out again: nothing to change, nothing for undo to take back but the first layout.
  Key(Qt::Key_F, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(TextBox(), laid_out);
  Key(Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(TextBox(), messy);
}

TEST_F(FindAndPublish, CopyForPublishingPutsTheLaidOutChapterOnTheClipboardAndWarns) {
  const std::string text = "第一段里有个敏感词。\r\n同样的一段话重复了。\r\n同样的一段话重复了。";
  FillNovel(
      1, [](int) { return std::string("第一章 风起"); }, [&](int) { return text; });
  WriteFile("小说数据/排版与发布设置.txt", "minimum-characters=3000\nname-as-first-line=1\n");
  WriteFile("小说数据/避免使用的词.txt", "# 我的词表\n敏感词\n");
  AnswerBoxesWith("确定");
  StartDesk();
  ASSERT_TRUE(WaitFor([&] { return TextBox() == text; }));
  ClickInto(unit::kTextBox);
  ChooseInMenu(unit::kTextBox, "复制为发布格式");
  EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(),
            "第一章 "
            "风起\n\n　　第一段里有个敏感词。\n　　同样的一段话重复了。\n　　同样的一段话重复了。");
  ASSERT_EQ(boxes_.size(), 1u);
  EXPECT_EQ(boxes_[0].caption, "警告");
  for (const char* part :
       {"已复制为发布格式（", "少于设定的 3000 字", "同样的一段话重复了", "敏感词"}) {
    EXPECT_NE(boxes_[0].text.find(part), std::string::npos) << part << "\n" << boxes_[0].text;
  }
  EXPECT_EQ(TextBox(), text);  // the chapter itself is left as the author wrote it
  auto* editor = Unit(unit::kTextBox)->Widget()->findChild<QPlainTextEdit*>();
  if (editor == nullptr) editor = qobject_cast<QPlainTextEdit*>(Unit(unit::kTextBox)->Widget());
  ASSERT_NE(editor, nullptr);
  ASSERT_EQ(editor->extraSelections().size(), 1);
  EXPECT_EQ(editor->extraSelections()[0].cursor.selectedText().toStdString(), "敏感词");
}

TEST_F(FindAndPublish, TheDailyTargetCountsAsTheAuthorChose) {
  WriteFile("小说数据/排版与发布设置.txt", "count-rule=chinese\n");
  StartDesk();
  AddChapter("第一章", "ab中文，12");
  // The label keeps the desk's own count; today's figure counts Chinese characters only.
  EXPECT_EQ(ReadText(unit::kCountLabel, property::kCaption), "7");
  ASSERT_TRUE(
      WaitFor([&] { return ReadText(unit::kTodayLabel, property::kCaption) == "今日：2 字"; }));
}

}  // namespace

}  // namespace desk_tests
