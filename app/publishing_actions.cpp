#include "app/publishing_actions.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QEvent>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QToolTip>
#include <QTreeWidget>
#include <QUrl>
#include <QWidget>
#include <span>
#include <string>

#include "app/chapters.h"
#include "app/character_count.h"
#include "app/daily_progress.h"
#include "app/desk_texts.h"
#include "app/gate_calls.h"
#include "app/main_window_ids.h"
#include "app/statistics.h"
#include "commands/file_replacement.h"
#include "forms/forms_runtime.h"
#include "platform/core/code_page.h"
#include "platform/core/file.h"
#include "platform/core/file_system.h"
#include "platform/core/native_path.h"
#include "platform/gui/window.h"
#include "publishing/avoid_word_list.h"
#include "publishing/platform_counts.h"
#include "publishing/publish_check.h"
#include "publishing/window/settings_window.h"
#include "units/editbox/edit_box_methods.h"
#include "writing_history/figure_text.h"

namespace app {

namespace {

using publishing::CountRule;

publishing::PublishingSettings settings;
// The word list as first made for the author to fill in (UTF-8, as editors save it).
constexpr std::string_view kAvoidWordsTemplate =
    "# 避免使用的词：一行一个。复制为发布格式时，正文里的这些词会标出来（不会替换）。\n"
    "# 以 # 开头的行不算。\n";
// A word list larger than this is no list of words: it is not read.
constexpr int64_t kLargestWordList = 4 * 1024 * 1024;

std::string SettingsPath() { return InProgramFolder(texts::kPublishingSettingsFile); }
std::string AvoidWordsPath() { return InProgramFolder(texts::kAvoidWordsFile); }

QWidget* UnitWidget(forms::UnitId unit) {
  gui::Window* window = forms::FormsRuntime::Instance().UnitWindow(kMainWindow, unit);
  return window == nullptr ? nullptr : window->Widget();
}

QPlainTextEdit* TextEditor() {
  QWidget* widget = UnitWidget(unit::kTextBox);
  if (widget == nullptr) return nullptr;
  if (auto* editor = qobject_cast<QPlainTextEdit*>(widget)) return editor;
  return widget->findChild<QPlainTextEdit*>();
}

void Tell(const std::string& gbk, int32_t icon) {
  const runtime::Text text(gbk);
  const runtime::Text caption(icon == 0x30 ? texts::kWarningCaption : texts::kPublishingCaption);
  Core(libraries::kMessageBox, {text.Arg(), runtime::ArgCell::Int(icon), caption.Arg()});
}

// A small file's bytes; false when it is missing, unreadable or larger than `largest`.
bool ReadSmallFile(const std::string& gbk_path, int64_t largest, std::string* bytes) {
  platform::FileResult opened =
      platform::File::Open(gbk_path, platform::FileAccess::kRead, platform::ShareMode::kDenyNone,
                           platform::Disposition::kOpenExisting);
  if (!opened.ok()) return false;
  const int64_t size = opened.file->Size();
  if (size < 0 || size > largest) return false;
  bytes->assign(static_cast<size_t>(size), '\0');
  return opened.file->ReadAt(0, bytes->data(), size) == size;
}

bool WriteWholeFile(const std::string& gbk_path, std::string_view bytes) {
  const std::span<const uint8_t> piece(reinterpret_cast<const uint8_t*>(bytes.data()),
                                       bytes.size());
  const std::span<const uint8_t> pieces[] = {piece};
  return commands::ReplaceFileContent(gbk_path, pieces);
}

std::u16string ToU16(const QString& text) { return text.toStdU16String(); }
QString ToQString(std::u16string_view text) {
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

// A text's length by the count the author chose for the target.
int64_t CountByRule(std::u16string_view text) {
  const publishing::PlatformCounts counts = publishing::CountForPlatforms(text);
  switch (settings.count_rule) {
    case CountRule::kChinese:
      return counts.chinese;
    case CountRule::kWithoutBlanks:
      return counts.without_blanks;
    case CountRule::kWithoutPunctuation:
      return counts.without_punctuation;
    case CountRule::kDesk:
      break;
  }
  return CountCharacters(platform::Utf16ToGbk(text));
}

// The counts of a chapter text (GBK), one line each, and the rule the daily target uses.
QString CountsTip(std::string_view gbk) {
  const std::u16string text = platform::GbkToUtf16(gbk);
  const publishing::PlatformCounts counts = publishing::CountForPlatforms(text);
  const auto line = [](CountRule rule, int64_t figure) {
    return ToQString(publishing::CountRuleName(rule)) + QStringLiteral("：") +
           QString::fromStdString(writing_history::Grouped(figure)) + QStringLiteral(" 字\n");
  };
  return line(CountRule::kDesk, CountCharacters(gbk)) + line(CountRule::kChinese, counts.chinese) +
         line(CountRule::kWithoutBlanks, counts.without_blanks) +
         line(CountRule::kWithoutPunctuation, counts.without_punctuation) +
         QStringLiteral("每日目标按：") + ToQString(publishing::CountRuleName(settings.count_rule));
}

// The counts as tool tips, made when they are asked for (a pass over a chapter's text, which
// the count after every key does not pay): the count label's for the shown chapter, a list
// item's for its chapter.
class CountTips : public QObject {
 public:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::ToolTip) return QObject::eventFilter(watched, event);
    const QPoint at = static_cast<QHelpEvent*>(event)->pos();
    auto* widget = qobject_cast<QWidget*>(watched);
    QString tip;
    if (auto* list = qobject_cast<QTreeWidget*>(widget->parentWidget())) {
      QTreeWidgetItem* item = list->itemAt(at);
      ListedChapter chapter;
      if (item == nullptr) return false;
      ReadListedChapter(list->indexOfTopLevelItem(item), &chapter);
      tip = item->text(0) + u'\n' + CountsTip(chapter.text);
    } else {
      tip = CountsTip(ReadText(unit::kTextBox, property::kContent).View());
    }
    QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), tip, widget);
    return true;
  }
};

void MarkAvoidWords(const std::vector<std::u16string>& words) {
  QPlainTextEdit* editor = TextEditor();
  if (editor == nullptr) return;
  QList<QTextEdit::ExtraSelection> marks;
  const QString text = units::WidgetText(kMainWindow, unit::kTextBox);
  QTextCharFormat format;
  format.setBackground(QColor(255, 214, 102));
  format.setUnderlineStyle(QTextCharFormat::WaveUnderline);
  format.setUnderlineColor(Qt::red);
  for (const publishing::TextSpan& span : publishing::FindAvoidWords(ToU16(text), words)) {
    QTextCursor cursor(editor->document());
    cursor.setPosition(static_cast<int>(span.start));
    cursor.setPosition(static_cast<int>(span.start + span.length), QTextCursor::KeepAnchor);
    marks.append({cursor, format});
  }
  editor->setExtraSelections(marks);
}

void EditAvoidWords() {
  const std::string path = AvoidWordsPath();
  if (!platform::FileExists(path) && !WriteWholeFile(path, kAvoidWordsTemplate)) {
    return Tell(texts::kAvoidWordsNotMade + PathForAuthor(path), 0x30);
  }
  QDesktopServices::openUrl(
      QUrl::fromLocalFile(QString::fromStdString(platform::NativePath(path))));
}

}  // namespace

void StartPublishing() {
  std::string bytes;
  settings = ReadSmallFile(SettingsPath(), 64 * 1024, &bytes)
                 ? publishing::ParsePublishingSettings(bytes)
                 : publishing::PublishingSettings();
  static CountTips tips;
  if (QWidget* label = UnitWidget(unit::kCountLabel)) label->installEventFilter(&tips);
  if (auto* list = qobject_cast<QTreeWidget*>(UnitWidget(unit::kChapterList))) {
    list->viewport()->installEventFilter(&tips);
  }
}

const publishing::PublishingSettings& PublishingSettings() { return settings; }

units::GbkMeasure TargetCountMeasure() {
  switch (settings.count_rule) {
    case CountRule::kChinese:
      return &CountChineseCharacters;
    case CountRule::kWithoutBlanks:
      return &CountCharactersWithoutBlanks;
    case CountRule::kWithoutPunctuation:
      return &CountCharactersWithoutPunctuation;
    case CountRule::kDesk:
      break;
  }
  return &CountCharacters;
}

void LayOutShownChapter() {
  if (ShownChapterUnreadable()) return;
  const QString text = units::WidgetText(kMainWindow, unit::kTextBox);
  const QString laid_out = ToQString(publishing::Typeset(ToU16(text), settings.typesetting));
  if (laid_out == text) return;
  // The chapter as it was is kept first: a layout is undone in the box, and for good in the
  // chapter's history.
  KeepShownChapterVersion(chapter_history::VersionReason::kBeforeReplace);
  units::ReplaceTextAsEdit(kMainWindow, unit::kTextBox, laid_out);
}

void CopyShownChapterForPublishing() {
  const std::u16string laid_out = publishing::Typeset(
      ToU16(units::WidgetText(kMainWindow, unit::kTextBox)), settings.typesetting);
  std::u16string copied;
  if (settings.name_as_first_line) {
    const runtime::Text name = ReadText(unit::kNameBox, property::kContent);
    publishing::TypesettingSettings name_layout = settings.typesetting;
    name_layout.indent = false;
    const std::u16string trimmed =
        publishing::Typeset(platform::GbkToUtf16(name.View()), name_layout);
    if (!trimmed.empty()) copied = trimmed + u"\n\n";
  }
  copied += laid_out;
  QGuiApplication::clipboard()->setText(ToQString(copied));

  publishing::PublishCheckSettings check;
  check.minimum_characters = settings.minimum_characters;
  std::string word_file;
  if (ReadSmallFile(AvoidWordsPath(), kLargestWordList, &word_file)) {
    check.avoid_words = publishing::ReadAvoidWordList(word_file);
  }
  const int64_t characters = CountByRule(laid_out);
  const publishing::PublishWarnings warnings =
      publishing::CheckForPublishing(laid_out, characters, check);
  MarkAvoidWords(check.avoid_words);
  const std::string copied_line =
      texts::kCopiedForPublishing + writing_history::Grouped(characters) + texts::kCopiedCharacters;
  if (!warnings.Any()) {
    if (QWidget* box = UnitWidget(unit::kTextBox)) {
      QToolTip::showText(box->mapToGlobal(QPoint(box->width() / 3, 8)),
                         QString::fromStdString(platform::GbkToUtf8(copied_line)), box);
    }
    return;
  }
  Tell(
      copied_line + texts::kCopiedButNote +
          platform::Utf16ToGbk(publishing::DescribeWarnings(warnings, settings.minimum_characters)),
      0x30);
}

void ChangePublishingSettings() {
  publishing::SettingsWindow window(settings, &EditAvoidWords, QApplication::activeWindow());
  if (window.exec() != QDialog::Accepted) return;
  const publishing::PublishingSettings chosen = window.Chosen();
  if (chosen.count_rule != settings.count_rule) {
    // Today's figure goes on in the new count from the chapter's present length: the two counts
    // differ, and their difference is no writing.
    settings = chosen;
    RestartChapterCount();
    CountChapterCharacters();
  }
  settings = chosen;
  if (!WriteWholeFile(SettingsPath(), publishing::FormatPublishingSettings(settings))) {
    Tell(texts::kPublishingSettingsNotSaved + PathForAuthor(SettingsPath()), 0x30);
  }
}

}  // namespace app
