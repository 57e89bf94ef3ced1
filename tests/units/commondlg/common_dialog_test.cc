// The common dialog's Open method, answered through the dialogs' own widgets the way a
// user would (a polling timer finds the open dialog among the top-level widgets), and the
// clamping of its stored properties.
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFontDialog>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <string>

#include "libraries/library_table.h"
#include "platform/core/code_page.h"
#include "platform/core/native_path.h"
#include "tests/support/unit_form_test.h"
#include "units/commondlg/common_dialog_class.h"
#include "units/commondlg/common_dialog_unit.h"

extern const unsigned char commondlg_window_block[];
extern const int commondlg_window_block_size;

namespace {

constexpr uint32_t kForm = 0x52010025;
constexpr uint32_t kFileDialog = 0x16010050;  // open file, filter "文本文件(*.txt)|*.txt"
constexpr uint32_t kFontDialog = 0x16010051;  // DejaVu Sans 10 pt italic, colour 255
constexpr uint32_t kHelpDialog = 0x16010052;  // help, command 1, context 7

// Property indexes (class index + 8).
constexpr int32_t kDialogType = 8;
constexpr int32_t kFileName = 10;
constexpr int32_t kFilter = 11;
constexpr int32_t kFilterIndex = 12;
constexpr int32_t kInitialDir = 13;
constexpr int32_t kFontColor = 20;
constexpr int32_t kFontBold = 21;
constexpr int32_t kFontItalic = 22;
constexpr int32_t kFontStrikeOut = 23;
constexpr int32_t kFontUnderline = 24;
constexpr int32_t kFontName = 25;
constexpr int32_t kFontSize = 26;
constexpr int32_t kHelpFile = 27;
constexpr int32_t kHelpCommand = 28;
constexpr int32_t kHelpContext = 29;

const runtime::ProgramImage& Image() {
  static const runtime::ProgramImage image = unit_tests::MakeImage(
      nullptr, commondlg_window_block, commondlg_window_block_size, libraries::LibraryTable());
  return image;
}

// Looks every 20 ms for a visible dialog of type `Dialog` and hands it to `step`, until
// `step` answers that it has closed the dialog.
template <typename Dialog>
class DialogAnswerer {
 public:
  explicit DialogAnswerer(std::function<bool(Dialog*)> step) : step_(std::move(step)) {
    timer_.setInterval(20);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<Dialog*>(widget);
        if (dialog == nullptr || !dialog->isVisible()) continue;
        if (step_(dialog)) timer_.stop();
        return;
      }
    });
    timer_.start();
  }

 private:
  std::function<bool(Dialog*)> step_;
  QTimer timer_;
};

QPushButton* Button(QDialog* dialog, QDialogButtonBox::StandardButton which) {
  for (auto* box : dialog->findChildren<QDialogButtonBox*>()) {
    if (QPushButton* button = box->button(which)) return button;
  }
  return nullptr;
}

// Clicks a button once it can be clicked (a file dialog enables its accept button only
// when the typed name suits its mode).
bool ClickWhenEnabled(QPushButton* button) {
  if (button == nullptr || !button->isEnabled()) return false;
  QTest::mouseClick(button, Qt::LeftButton);
  return true;
}

// The accept button of a file dialog: the first button of its box that is not Cancel.
QPushButton* AcceptButton(QFileDialog* dialog) {
  auto* box = dialog->findChild<QDialogButtonBox*>();
  if (box == nullptr) return nullptr;
  for (QAbstractButton* button : box->buttons()) {
    if (box->buttonRole(button) == QDialogButtonBox::AcceptRole)
      return qobject_cast<QPushButton*>(button);
  }
  return nullptr;
}

class CommonDialog : public unit_tests::FormTest {
 protected:
  CommonDialog() : FormTest(Image(), kForm) {}
  void SetUp() override {
    FormTest::SetUp();
    ASSERT_TRUE(Load());
    ASSERT_TRUE(folder_.isValid());
  }
  bool Open(uint32_t unit) { return units::OpenCommonDialog(kForm, unit); }
  bool ReadLogical(uint32_t unit, int32_t property) { return ReadInt(unit, property) != 0; }
  // A path inside the temporary folder as the program spells it (GBK, backslashes), in UTF-8.
  std::string ProgramPath(const QString& native) {
    return platform::GbkToUtf8(platform::GbkPath(native.toStdString()));
  }

  QTemporaryDir folder_;
};

TEST_F(CommonDialog, AConfirmedFileDialogStoresTheFullPathAndACancelledOneNothing) {
  const QString chapter = folder_.filePath(QString::fromUtf8("第一章.txt"));
  {
    QFile file(chapter);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  WriteText(kFileDialog, kInitialDir, folder_.path().toStdString());

  // The filter lacks its closing "||": the dialog still offers exactly its one entry.
  QStringList offered;
  QString title;
  DialogAnswerer<QFileDialog> choose([&](QFileDialog* dialog) {
    auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
    if (name == nullptr) return false;
    if (offered.isEmpty()) {
      offered = dialog->nameFilters();
      title = dialog->windowTitle();
      name->setText(QString::fromUtf8("第一章.txt"));  // as typed (keyClicks is ASCII-only)
    }
    return ClickWhenEnabled(AcceptButton(dialog));
  });
  EXPECT_TRUE(Open(kFileDialog));
  EXPECT_EQ(offered, QStringList{QString::fromUtf8("文本文件(*.txt) (*.txt)")});
  EXPECT_EQ(title, QString::fromUtf8("打开章节"));
  EXPECT_EQ(ReadText(kFileDialog, kFileName), ProgramPath(chapter));

  WriteText(kFileDialog, kFileName, "旧名.txt");
  DialogAnswerer<QFileDialog> cancel([](QFileDialog* dialog) {
    return ClickWhenEnabled(Button(dialog, QDialogButtonBox::Cancel));
  });
  EXPECT_FALSE(Open(kFileDialog));
  EXPECT_EQ(ReadText(kFileDialog, kFileName), "旧名.txt");
}

TEST_F(CommonDialog, FilterIndexOnePreselectsTheSecondEntry) {
  WriteText(kFileDialog, kFilter, "文本文件|*.txt|所有文件|*.*;*||");
  WriteInt(kFileDialog, kFilterIndex, 1);
  int shown_index = -1;
  int entries = 0;
  DialogAnswerer<QFileDialog> look([&](QFileDialog* dialog) {
    auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
    if (types == nullptr) return false;
    shown_index = types->currentIndex();
    entries = types->count();
    return ClickWhenEnabled(Button(dialog, QDialogButtonBox::Cancel));
  });
  EXPECT_FALSE(Open(kFileDialog));
  EXPECT_EQ(entries, 2);
  EXPECT_EQ(shown_index, 1);
}

TEST_F(CommonDialog, TheFontDialogStartsFromThePropertiesAndWritesBackOnlyAConfirmedFont) {
  QFont initial;
  DialogAnswerer<QFontDialog> choose([&](QFontDialog* dialog) {
    initial = dialog->currentFont();
    // Bold from the style list, 16 points typed into the size box, italic switched off.
    QListView* styles = nullptr;
    for (auto* list : dialog->findChildren<QListView*>()) {
      if (list->model()
              ->match(list->model()->index(0, 0), Qt::DisplayRole, "Bold", 1, Qt::MatchExactly)
              .size() == 1) {
        styles = list;
      }
    }
    if (styles == nullptr) return false;
    const QModelIndex bold =
        styles->model()
            ->match(styles->model()->index(0, 0), Qt::DisplayRole, "Bold", 1, Qt::MatchExactly)
            .first();
    styles->setCurrentIndex(bold);
    for (auto* edit : dialog->findChildren<QLineEdit*>()) {
      if (edit->isReadOnly() || !edit->isVisible()) continue;
      edit->selectAll();
      QTest::keyClicks(edit, "16");
    }
    return ClickWhenEnabled(Button(dialog, QDialogButtonBox::Ok));
  });
  EXPECT_TRUE(Open(kFontDialog));
  EXPECT_EQ(initial.family(), "DejaVu Sans");
  EXPECT_EQ(initial.pointSize(), 10);
  EXPECT_TRUE(initial.italic());
  EXPECT_EQ(ReadText(kFontDialog, kFontName), "DejaVu Sans");
  EXPECT_EQ(ReadInt(kFontDialog, kFontSize), 16);
  EXPECT_TRUE(ReadLogical(kFontDialog, kFontBold));
  EXPECT_FALSE(ReadLogical(kFontDialog, kFontItalic));
  EXPECT_FALSE(ReadLogical(kFontDialog, kFontUnderline));
  EXPECT_FALSE(ReadLogical(kFontDialog, kFontStrikeOut));
  EXPECT_EQ(ReadInt(kFontDialog, kFontColor), 255);

  // Cancelled after changing everything: nothing changes.
  DialogAnswerer<QFontDialog> cancel([](QFontDialog* dialog) {
    for (auto* box : dialog->findChildren<QCheckBox*>()) box->setChecked(!box->isChecked());
    return ClickWhenEnabled(Button(dialog, QDialogButtonBox::Cancel));
  });
  EXPECT_FALSE(Open(kFontDialog));
  EXPECT_EQ(ReadInt(kFontDialog, kFontSize), 16);
  EXPECT_TRUE(ReadLogical(kFontDialog, kFontBold));
  EXPECT_FALSE(ReadLogical(kFontDialog, kFontUnderline));
  EXPECT_FALSE(ReadLogical(kFontDialog, kFontStrikeOut));
}

TEST_F(CommonDialog, HelpWithAMissingFileFailsAndTheFilelessCommandsSucceed) {
  WriteText(kHelpDialog, kHelpFile, folder_.filePath("没有.hlp").toStdString());
  for (int32_t command = 0; command <= 3; ++command) {
    WriteInt(kHelpDialog, kHelpCommand, command);
    EXPECT_FALSE(Open(kHelpDialog)) << command;
  }
  // No help file beside the test program either.
  WriteText(kHelpDialog, kHelpFile, "");
  WriteInt(kHelpDialog, kHelpCommand, 0);
  EXPECT_FALSE(Open(kHelpDialog));
  for (int32_t command : {4, 5}) {
    WriteInt(kHelpDialog, kHelpCommand, command);
    EXPECT_TRUE(Open(kHelpDialog)) << command;
  }
  EXPECT_FALSE(units::OpenCommonDialog(kForm, 0x16019999));
  EXPECT_FALSE(units::OpenCommonDialog(kForm, 0));  // the window is no common dialog
}

TEST_F(CommonDialog, WritesClampAndStoreReadsReturnTheStoredValues) {
  EXPECT_EQ(ReadInt(kHelpDialog, kHelpContext), 7);
  const struct {
    int32_t property, written, stored;
  } cases[] = {
      {kDialogType, -1, 0}, {kDialogType, 9, 3},   {kHelpCommand, -4, 0},
      {kHelpCommand, 6, 5}, {kFilterIndex, -3, 0}, {kFilterIndex, 12, 12},
      {kFontSize, -2, 0},   {kFontSize, 72, 72},   {kHelpContext, -5, -5},
  };
  for (const auto& c : cases) {
    WriteInt(kHelpDialog, c.property, c.written);
    EXPECT_EQ(ReadInt(kHelpDialog, c.property), c.stored) << c.property << " " << c.written;
  }
  // Only stored: the unit stays an invisible window whatever is written.
  EXPECT_FALSE(Unit(kHelpDialog)->IsVisible());
}

}  // namespace
