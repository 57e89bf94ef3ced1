#include "app/find_in_novel.h"

#include <QApplication>
#include <QPointer>
#include <algorithm>
#include <string>
#include <vector>

#include "app/chapters.h"
#include "app/desk_texts.h"
#include "app/gate_calls.h"
#include "app/main_window_ids.h"
#include "database/error_codes.h"
#include "find_replace/window/find_window.h"
#include "forms/forms_runtime.h"
#include "platform/gui/window.h"
#include "units/editbox/edit_box_methods.h"
#include "units/editbox/gbk_positions.h"

namespace app {

namespace {

using find_replace::ChapterChange;
using find_replace::ChapterText;
using find_replace::Hit;

// The boxes' own forms: the text box gives CR LF back as "\n", the name box holds one line.
constexpr units::GbkPositions kTextForm{.crlf_lines = true};
constexpr units::GbkPositions kNameForm{};

int32_t ListIndexOf(int64_t id) {
  const std::vector<int32_t>& ids = ListedChapterIds();
  const auto found = std::find(ids.begin(), ids.end(), id);
  return found == ids.end() ? -1 : static_cast<int32_t>(found - ids.begin());
}

ChapterText ShownChapterText() {
  return {ShownChapterId(),
          kNameForm.Decode(std::string(ReadText(unit::kNameBox, property::kContent).View())),
          units::WidgetText(kMainWindow, unit::kTextBox)};
}

class DeskFindHost : public find_replace::FindHost {
 public:
  std::vector<ChapterText> Chapters(bool shown_only) override {
    return ChaptersToSearch(shown_only);
  }

  int64_t ShownChapter() override { return ShownChapterId(); }

  void ShownSelection(qsizetype* start, qsizetype* end) override {
    int32_t from = 0, to = 0;
    units::WidgetSelection(kMainWindow, unit::kTextBox, &from, &to);
    *start = from;
    *end = to;
  }

  bool OpenAt(int64_t id, bool in_name, Hit hit) override {
    const int32_t index = ListIndexOf(id);
    if (index < 0) return false;
    // Selecting the item loads the chapter, as the author's click does.
    if (id != ShownChapterId()) WriteInt(unit::kChapterList, property::kCurrentItem, index);
    if (id != ShownChapterId()) return false;
    const auto start = static_cast<int32_t>(hit.start);
    const auto end = static_cast<int32_t>(hit.start + hit.length);
    units::SelectInWidget(kMainWindow, in_name ? unit::kNameBox : unit::kTextBox, start, end);
    return true;
  }

  int Apply(const std::vector<ChapterChange>& changes) override {
    int failed = 0;
    int32_t failure = database::code::kOk;
    for (const ChapterChange& change : changes) {
      if (change.id == ShownChapterId()) {
        // Shown read-only: its record cannot be read whole and is never written over.
        if (ShownChapterUnreadable()) {
          ++failed;
          failure = database::code::kMemoChainDamaged;
          continue;
        }
        const ChapterText shown = ShownChapterText();
        KeepShownChapterVersion(chapter_history::VersionReason::kBeforeReplace);
        if (change.name != shown.name) {
          WriteText(unit::kNameBox, property::kContent, kNameForm.Encode(change.name));
        }
        units::ReplaceTextAsEdit(kMainWindow, unit::kTextBox, change.text);
        continue;
      }
      const int32_t code =
          RewriteListedChapter(static_cast<int32_t>(change.id), kNameForm.Encode(change.name),
                               kTextForm.Encode(change.text));
      if (code != database::code::kOk) {
        ++failed;
        failure = code;
      }
    }
    // A flush that fails is told as every failed save is (the red line under the text).
    FlushChapterDatabase();
    if (failed > 0) {
      const runtime::Text text(texts::kReplaceNotWritten + std::to_string(failed) +
                               texts::kReplaceNotWrittenReason + database::ErrorText(failure));
      const runtime::Text caption(texts::kWarningCaption);
      Core(libraries::kMessageBox, {text.Arg(), runtime::ArgCell::Int(0x30), caption.Arg()});
    }
    return failed;
  }
};

DeskFindHost host;
QPointer<find_replace::FindWindow> window;

}  // namespace

std::vector<ChapterText> ChaptersToSearch(bool shown_only) {
  std::vector<ChapterText> chapters;
  if (shown_only) {
    if (ShownChapterId() != 0) chapters.push_back(ShownChapterText());
    return chapters;
  }
  std::vector<ListedChapter> listed = ReadListedChapters();
  chapters.reserve(listed.size());
  for (ListedChapter& chapter : listed) {
    if (chapter.shown) {
      chapters.push_back(ShownChapterText());
      continue;
    }
    chapters.push_back(
        {chapter.id, kNameForm.Decode(chapter.name), kTextForm.Decode(chapter.text)});
    // Each record's bytes go once decoded: a long novel is not held twice.
    std::string().swap(chapter.text);
  }
  return chapters;
}

void ShowFindWindow(FindWindowPurpose purpose) {
  if (window.isNull()) {
    gui::Window* desk = forms::FormsRuntime::Instance().UnitWindow(kMainWindow, 0);
    QWidget* parent = desk != nullptr ? desk->Widget() : QApplication::activeWindow();
    window = new find_replace::FindWindow(&host, parent);
    window->setAttribute(Qt::WA_DeleteOnClose, false);
    window->setWindowFlag(Qt::Window);
  }
  int32_t start = 0, end = 0;
  units::WidgetSelection(kMainWindow, unit::kTextBox, &start, &end);
  const QString selected = units::WidgetText(kMainWindow, unit::kTextBox).mid(start, end - start);
  window->Open(purpose == FindWindowPurpose::kReplace, selected);
}

}  // namespace app
