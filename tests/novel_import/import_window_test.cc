#include "novel_import/window/import_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <QTreeWidget>

#include "tests/novel_import/novel_files.h"
#include "tests/support/test_application.h"

namespace novel_import {
namespace {

using test_files::Gbk;
using test_files::Utf16;
using test_files::Utf8;

QString Q(const char16_t* text) { return QString::fromUtf16(text); }

constexpr char16_t kNovel[] =
    u"第一千二百三十四章 风起\n\u3000\u3000李云飞推开门。\n\n\u3000\u3000雨还在下。\n"
    u"第一千二百三十五章 夜雨\n\u3000\u3000“谁？”\n";

// The import window over a file, its controls found by name as a test drives them.
class Window {
 public:
  Window(std::string bytes, const QString& file_name = Q(u"我的小说.txt"))
      : window_(std::move(bytes), file_name, nullptr) {}

  template <typename Control>
  Control* Find(const char* name) {
    auto* control = window_.findChild<Control*>(QString::fromLatin1(name));
    EXPECT_NE(control, nullptr) << name;
    return control;
  }
  QComboBox* Encoding() { return Find<QComboBox>("encoding"); }
  QTreeWidget* Chapters() { return Find<QTreeWidget>("chapters"); }
  QString Summary() { return Find<QLabel>("summary")->text(); }
  void Click(const char* name) { Find<QPushButton>(name)->click(); }

  // The listed chapters' names, or a column of them.
  QStringList Column(int column = 0) {
    QStringList texts;
    for (int i = 0; i < Chapters()->topLevelItemCount(); ++i) {
      texts << Chapters()->topLevelItem(i)->text(column);
    }
    return texts;
  }
  void Choose(int chapter) { Chapters()->setCurrentItem(Chapters()->topLevelItem(chapter)); }
  // Puts the cursor of the chosen chapter's text on line `line` (1-based).
  void PutCursorOn(int line) {
    auto* text = Find<QPlainTextEdit>("text");
    text->setTextCursor(QTextCursor(text->document()->findBlockByNumber(line - 1)));
  }
  void ChooseEncoding(const QString& name) {
    Encoding()->setCurrentIndex(Encoding()->findText(name));
  }

  ImportWindow& window() { return window_; }

 private:
  QApplication& application_ = unit_tests::App();  // made before the window
  ImportWindow window_;
};

TEST(ImportWindow, ListsAGbkFilesChaptersAndReadsItAgainInTheChosenEncoding) {
  Window window(Gbk(kNovel));
  EXPECT_EQ(window.Encoding()->currentText(), Q(u"GBK/GB18030"));
  EXPECT_TRUE(window.Find<QLabel>("file")->text().startsWith(Q(u"我的小说.txt")));
  EXPECT_EQ(window.Column(0),
            (QStringList{Q(u"第一千二百三十四章 风起"), Q(u"第一千二百三十五章 夜雨")}));
  EXPECT_EQ(window.Column(1), (QStringList{Q(u"李云飞推开门。"), Q(u"“谁？”")}));
  EXPECT_EQ(window.Column(2), (QStringList{Q(u"12"), Q(u"4")}));
  EXPECT_EQ(window.Summary(), Q(u"共 2 章，16 字"));

  // Read as UTF-8 the headings are gone: one chapter named after the file, the damage counted.
  window.ChooseEncoding(Q(u"UTF-8"));
  EXPECT_EQ(window.Column(0), QStringList{Q(u"我的小说")});
  EXPECT_TRUE(window.Summary().contains(Q(u"处无法按 UTF-8 解码")))
      << window.Summary().toStdString();

  window.ChooseEncoding(Q(u"GBK/GB18030"));
  EXPECT_EQ(window.Column(0).size(), 2);
  EXPECT_EQ(window.Summary(), Q(u"共 2 章，16 字"));
}

TEST(ImportWindow, MergesAndSplitsAndHandsOverWhatItShows) {
  Window window(Utf8(kNovel));
  EXPECT_EQ(window.Encoding()->currentText(), Q(u"UTF-8"));
  window.Choose(0);
  window.Click("merge");
  EXPECT_EQ(window.Column(0), QStringList{Q(u"第一千二百三十四章 风起")});
  EXPECT_FALSE(window.Find<QPushButton>("merge")->isEnabled());  // nothing after it
  EXPECT_EQ(window.Find<QPlainTextEdit>("text")->toPlainText(),
            Q(u"\u3000\u3000李云飞推开门。\n\n\u3000\u3000雨还在下。\n第一千二百三十五章 夜雨\n"
              u"\u3000\u3000“谁？”"));

  // Split at the heading that was merged in: the two chapters are back.
  window.PutCursorOn(4);
  window.Click("split");
  EXPECT_EQ(window.Column(0),
            (QStringList{Q(u"第一千二百三十四章 风起"), Q(u"第一千二百三十五章 夜雨")}));
  EXPECT_EQ(window.Chapters()->currentItem(), window.Chapters()->topLevelItem(1));

  // A blank line cannot name a chapter; given a name, the split starts the text there.
  window.Choose(0);
  window.PutCursorOn(2);
  window.Click("split");
  EXPECT_TRUE(window.Summary().startsWith(Q(u"所点的是空行"))) << window.Summary().toStdString();
  EXPECT_EQ(window.Column(0).size(), 2);
  window.Find<QLineEdit>("split_name")->setText(Q(u"雨"));
  window.Click("split");
  EXPECT_EQ(window.Column(0),
            (QStringList{Q(u"第一千二百三十四章 风起"), Q(u"雨"), Q(u"第一千二百三十五章 夜雨")}));
  EXPECT_TRUE(window.Find<QLineEdit>("split_name")->text().isEmpty());

  QTimer::singleShot(0, &window.window(), [&] { window.Click("ok"); });
  ASSERT_EQ(window.window().exec(), QDialog::Accepted);
  const std::vector<ImportedChapter>& chosen = window.window().Chosen();
  ASSERT_EQ(chosen.size(), 3u);
  EXPECT_EQ(chosen[0].text, Q(u"\u3000\u3000李云飞推开门。"));
  EXPECT_EQ(chosen[1], (ImportedChapter{Q(u"雨"), Q(u"\u3000\u3000雨还在下。"), 4, 4, false}));
  EXPECT_EQ(chosen[2].first_line, 5);
}

TEST(ImportWindow, CutsAtTheAuthorsPatternOnceItCompiles) {
  Window window(Utf16(u"Episode 1\r\nIt began.\r\nEpisode 2\r\nIt ended.\r\n", false),
                Q(u"story.txt"));
  EXPECT_EQ(window.Encoding()->currentText(), Q(u"UTF-16 LE"));
  EXPECT_EQ(window.Column(0), QStringList{Q(u"story")});

  auto* pattern = window.Find<QLineEdit>("own_pattern");
  pattern->setText(Q(u"^Episode \\d+$"));
  QTest::keyClick(pattern, Qt::Key_Return);
  EXPECT_EQ(window.Column(0), (QStringList{Q(u"Episode 1"), Q(u"Episode 2")}));

  // A pattern that does not compile is shown and changes nothing.
  pattern->setText(Q(u"Episode ("));
  EXPECT_TRUE(window.Find<QLabel>("pattern_error")->text().startsWith(Q(u"标题格式有误")));
  QTest::keyClick(pattern, Qt::Key_Return);
  EXPECT_EQ(window.Column(0), (QStringList{Q(u"Episode 1"), Q(u"Episode 2")}));

  // Without Return the file is cut once the author pauses.
  pattern->setText(Q(u"Episode 2"));
  EXPECT_TRUE(window.Find<QLabel>("pattern_error")->text().isEmpty());
  const QStringList cut = {Q(u"前言"), Q(u"Episode 2")};
  EXPECT_TRUE(QTest::qWaitFor([&] { return window.Column(0) == cut; }, 3000));
}

TEST(ImportWindow, TellsOfCharactersGbkCannotHold) {
  Window window("\xEF\xBB\xBF" + Utf8(u"第一章 😀\n李㐀😀\n"));
  EXPECT_EQ(window.Encoding()->currentText(), Q(u"UTF-8（带 BOM）"));
  EXPECT_EQ(window.Summary(), Q(u"共 1 章，3 字；3 个字符不在 GBK 中，将按 GB18030 四字节保存"));
}

TEST(ImportWindow, ARefusedFileOffersAnEncodingOnlyWhenItMayBeText) {
  Window binary(std::string("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR", 16), Q(u"picture.png"));
  EXPECT_FALSE(binary.Encoding()->isEnabled());
  EXPECT_FALSE(binary.Find<QPushButton>("ok")->isEnabled());
  EXPECT_EQ(binary.Summary(), Q(u"文件不是文本（含有 NUL 字节）"));
  EXPECT_EQ(binary.Chapters()->topLevelItemCount(), 0);

  Window unmarked(Utf16(kNovel, false, false));
  EXPECT_TRUE(unmarked.Encoding()->isEnabled());
  EXPECT_EQ(unmarked.Encoding()->currentIndex(), -1);
  EXPECT_FALSE(unmarked.Find<QPushButton>("ok")->isEnabled());
  EXPECT_TRUE(unmarked.Summary().contains(Q(u"没有 BOM 的 UTF-16")));
  unmarked.ChooseEncoding(Q(u"UTF-16 LE"));
  EXPECT_EQ(unmarked.Column(0).size(), 2);
  EXPECT_TRUE(unmarked.Find<QPushButton>("ok")->isEnabled());
  EXPECT_TRUE(unmarked.Summary().endsWith(Q(u"共 2 章，16 字")))
      << unmarked.Summary().toStdString();

  Window empty("");
  EXPECT_FALSE(empty.Encoding()->isEnabled());
  EXPECT_EQ(empty.Summary(), Q(u"文件是空的"));
}

}  // namespace
}  // namespace novel_import
