#include "novel_export/window/export_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <stdexcept>

#include "tests/novel_export/zip_listing.h"
#include "tests/support/test_application.h"

namespace novel_export {
namespace {

QString Q(const char* utf8) { return QString::fromUtf8(utf8); }

// The window driven as the author would, its controls found by their object names.
class ExportWindowTest : public testing::Test {
 protected:
  void Open(const QStringList& names) {
    unit_tests::App();
    window_ = std::make_unique<ExportWindow>(
        ExportStart{names, Q("山河"), Q("某人"), folder_.path()}, nullptr,
        [this](QWidget*, PathQuestion question, const QString&) {
          asked_.push_back(question);
          return answers_.isEmpty() ? QString() : answers_.takeFirst();
        });
    window_->show();
  }
  template <typename Control>
  Control* Find(const char* name) {
    auto* control = window_->findChild<Control*>(QString::fromLatin1(name));
    if (control == nullptr) throw std::runtime_error(std::string("no control ") + name);
    return control;
  }
  void Click(const char* name) { Find<QAbstractButton>(name)->click(); }
  QString Destination() { return Find<QLineEdit>("destination")->text(); }
  QString InFolder(const QString& name) {
    return QDir::toNativeSeparators(QDir(folder_.path()).filePath(name));
  }

  QTemporaryDir folder_;
  std::unique_ptr<ExportWindow> window_;
  // The file choosers' answers, in the order they are asked, and the questions asked.
  QStringList answers_;
  std::vector<PathQuestion> asked_;
};

const QStringList kNames = {Q("第一卷 风起"), Q("第一章 少年"), Q("第二章 夜"), Q("第三章 雨"),
                            Q("尾声")};

TEST_F(ExportWindowTest, ARangeAnEpubAndItsCoverAreHandedBackOnOk) {
  Open(kNames);
  QImage cover_image(30, 40, QImage::Format_RGB32);
  cover_image.fill(Qt::darkRed);
  const QString cover_path = folder_.filePath(QStringLiteral("封面.png"));
  ASSERT_TRUE(cover_image.save(cover_path, "PNG"));
  QFile cover_file(cover_path);
  ASSERT_TRUE(cover_file.open(QIODevice::ReadOnly));
  const QByteArray cover = cover_file.readAll();

  Click("range_some");
  Find<QSpinBox>("from")->setValue(2);
  Find<QSpinBox>("to")->setValue(4);
  EXPECT_EQ(Find<QLabel>("from_name")->text(), kNames[1]);
  EXPECT_EQ(Find<QLabel>("to_name")->text(), kNames[3]);
  Click("format_epub");
  EXPECT_FALSE(Find<QWidget>("txt_options")->isEnabled());
  EXPECT_TRUE(Find<QWidget>("epub_options")->isEnabled());
  Find<QLineEdit>("author")->setText(Q("另一人"));
  answers_ << cover_path;
  Click("cover");
  EXPECT_EQ(asked_, std::vector<PathQuestion>{PathQuestion::kCover});
  EXPECT_EQ(Find<QLabel>("cover_label")->text(), Q("封面.png"));
  Click("ok");

  ASSERT_EQ(window_->result(), QDialog::Accepted);
  const ExportChoice choice = window_->Chosen();
  EXPECT_EQ(choice.first, 1u);
  EXPECT_EQ(choice.last, 3u);
  EXPECT_EQ(choice.format, ExportFormat::kEpub);
  EXPECT_EQ(choice.book.title, Q("山河"));
  EXPECT_EQ(choice.book.author, Q("另一人"));
  EXPECT_EQ(choice.book.cover, cover);
  EXPECT_EQ(choice.destination, InFolder(Q("山河.epub")));
}

TEST_F(ExportWindowTest, EachFormatSuggestsItsDestinationAndTheTxtOptionsAreHandedBack) {
  using Encoding = TxtOptions::Encoding;
  const struct {
    const char* format;
    ExportFormat chosen;
    int encoding;
    int line_breaks;
    bool headings;
    bool indent;
    const char* destination;
    TxtOptions txt;
  } cases[] = {
      {"format_txt", ExportFormat::kTxt, 0, 0, true, false, "山河.txt", {}},
      {"format_txt",
       ExportFormat::kTxt,
       1,
       1,
       false,
       true,
       "山河.txt",
       {.encoding = Encoding::kUtf8Bom, .crlf = false, .headings = false, .indent = true}},
      {"format_txt_files",
       ExportFormat::kTxtFiles,
       2,
       0,
       true,
       true,
       "山河",
       {.encoding = Encoding::kGbk, .indent = true}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.format);
    Open(kNames);
    Click("format_epub");  // away and back: the suggestion follows
    Click(c.format);
    EXPECT_TRUE(Find<QWidget>("txt_options")->isEnabled());
    EXPECT_FALSE(Find<QWidget>("epub_options")->isEnabled());
    Find<QComboBox>("encoding")->setCurrentIndex(c.encoding);
    Find<QComboBox>("line_breaks")->setCurrentIndex(c.line_breaks);
    Find<QCheckBox>("headings")->setChecked(c.headings);
    Find<QCheckBox>("indent")->setChecked(c.indent);
    EXPECT_EQ(Destination(), InFolder(Q(c.destination)));
    Click("ok");
    ASSERT_EQ(window_->result(), QDialog::Accepted);
    const ExportChoice choice = window_->Chosen();
    EXPECT_EQ(choice.format, c.chosen);
    EXPECT_EQ(choice.first, 0u);
    EXPECT_EQ(choice.last, 4u);
    EXPECT_EQ(choice.txt.encoding, c.txt.encoding);
    EXPECT_EQ(choice.txt.crlf, c.txt.crlf);
    EXPECT_EQ(choice.txt.headings, c.txt.headings);
    EXPECT_EQ(choice.txt.indent, c.txt.indent);
  }
}

TEST_F(ExportWindowTest, ADestinationTheAuthorTypedStaysWhenTheFormatChanges) {
  Open(kNames);
  Find<QLineEdit>("destination")->setText(InFolder(Q("给编辑.txt")));
  Click("format_epub");
  EXPECT_EQ(Destination(), InFolder(Q("给编辑.txt")));
  // A title of unsafe characters suggests a safe name.
  Open(kNames);
  Click("format_epub");
  Find<QLineEdit>("title")->setText(Q("问:答?"));
  Find<QLineEdit>("title")->textEdited(Q("问:答?"));  // as typing tells it
  EXPECT_EQ(Destination(), InFolder(Q("问：答？.epub")));
}

TEST_F(ExportWindowTest, TheRangeEndsFollowEachOther) {
  Open(kNames);
  Click("range_some");
  auto* from = Find<QSpinBox>("from");
  auto* to = Find<QSpinBox>("to");
  EXPECT_EQ(from->maximum(), 5);
  to->setValue(2);
  from->setValue(4);
  EXPECT_EQ(to->value(), 4);
  to->setValue(3);
  EXPECT_EQ(from->value(), 3);
  Click("range_all");
  EXPECT_FALSE(from->isEnabled());
  Click("ok");
  EXPECT_EQ(window_->Chosen().first, 0u);
  EXPECT_EQ(window_->Chosen().last, 4u);
}

TEST_F(ExportWindowTest, OkIsRefusedWithoutAPlaceToWriteOrAnythingToExport) {
  const struct {
    const char* what;
    const char* format;
    QString destination;
  } cases[] = {
      {"no destination", "format_txt", QString()},
      {"a folder for one file", "format_epub", QDir::tempPath()},
      {"a file for a folder of files", "format_txt_files", QString()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Open(kNames);
    Click(c.format);
    QString destination = c.destination;
    if (Q(c.format) == Q("format_txt_files")) {
      destination = folder_.filePath(QStringLiteral("已有.txt"));
      ASSERT_TRUE(novel_export_tests::WriteBytes(destination, "x"));
    }
    Find<QLineEdit>("destination")->setText(destination);
    Click("ok");
    EXPECT_TRUE(window_->isVisible());
    EXPECT_EQ(window_->result(), QDialog::Rejected);
    EXPECT_FALSE(Find<QLabel>("message")->text().isEmpty());
  }
  Open({});
  EXPECT_FALSE(Find<QPushButton>("ok")->isEnabled());
  Click("cancel");
  EXPECT_EQ(window_->result(), QDialog::Rejected);
}

TEST_F(ExportWindowTest, ACoverThatIsNoPictureIsRefusedAndTheChoosersFillTheirBoxes) {
  Open(kNames);
  Click("format_epub");
  const QString not_a_picture = folder_.filePath(QStringLiteral("cover.png"));
  ASSERT_TRUE(novel_export_tests::WriteBytes(not_a_picture, "not a picture"));
  answers_ << not_a_picture;
  Click("cover");
  EXPECT_EQ(Find<QLabel>("cover_label")->text(), Q("无封面"));
  EXPECT_FALSE(Find<QLabel>("message")->text().isEmpty());

  // A file to save for EPUB and TXT, its suffix added when typed without; a folder for files.
  const QString chapters = folder_.filePath(Q("章节"));
  answers_ << folder_.filePath(Q("书")) << folder_.filePath(Q("书.TXT")) << chapters << QString();
  Click("browse");
  EXPECT_EQ(Destination(), InFolder(Q("书.epub")));
  Click("format_txt");
  Click("browse");
  EXPECT_EQ(Destination(), InFolder(Q("书.TXT")));
  Click("format_txt_files");
  Click("browse");
  EXPECT_EQ(Destination(), QDir::toNativeSeparators(chapters));
  Click("browse");  // cancelled: the destination stays
  EXPECT_EQ(Destination(), QDir::toNativeSeparators(chapters));
  EXPECT_EQ(asked_, (std::vector<PathQuestion>{PathQuestion::kCover, PathQuestion::kSaveEpub,
                                               PathQuestion::kSaveTxt, PathQuestion::kFolder,
                                               PathQuestion::kFolder}));
  Click("ok");
  EXPECT_EQ(window_->result(), QDialog::Accepted);
  EXPECT_EQ(window_->Chosen().book.cover, QByteArray());
}

}  // namespace
}  // namespace novel_export
