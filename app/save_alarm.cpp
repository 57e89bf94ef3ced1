#include "app/save_alarm.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include "app/chapters.h"
#include "app/desk_texts.h"
#include "app/gate_calls.h"
#include "app/layout.h"
#include "app/main_window_ids.h"
#include "app/rescue_copy.h"
#include "database/database_list.h"
#include "database/error_codes.h"
#include "platform/core/clock.h"
#include "platform/core/file_system.h"
#include "platform/gui/gbk_qstring.h"
#include "platform/gui/notice.h"
#include "rescued_chapters/rescue_list.h"
#include "units/base/unit_methods.h"

namespace app {

namespace {

using runtime::ArgCell;
using runtime::Text;

constexpr uint32_t kRescueEveryMs = 1000;
constexpr uint32_t kFirstRetryMs = 250;
constexpr uint32_t kLongestRetryMs = 2000;
constexpr int32_t kWarningColor = 0x0000FF;  // red, as 0x00BBGGRR
constexpr int32_t kLineLeft = 13;            // as the chapter list and the captions above it
constexpr int32_t kLineHeight = 22;          // the strip under the text box and the list
constexpr int32_t kYesNoCancelQuestion = 0x23;
constexpr int32_t kOkCancelWarning = 0x31;
// The message box command answers 0 (OK) to 6 (No): Yes is 5.
constexpr int32_t kOk = 0, kYes = 5, kNo = 6;

// The forum label as it was before it became the warning line (the layout places it).
struct ForumLabel {
  std::string caption;
  int32_t text_color = 0;
};

// When a kind of save that failed is tried again.
struct Retry {
  uint32_t failed_at = 0;  // TickCount of the last failure
  uint32_t wait_ms = 0;    // 0 while saving works
};

// An episode runs from the first failed save to the moment every kind of save works again.
struct Episode {
  bool active = false;
  bool failing[2] = {false, false};
  Retry retry[2];
  std::string started;  // the date-time text of the first failure: the rescue copy's stem
  std::string reason;   // what failed (GBK)
  RescueCopy rescue;    // where the text went; an empty path when no place took it
  std::string
      rescued;  // the name and text last rescued, so that an unchanged text is not rewritten
  uint32_t rescued_at = 0;  // TickCount of the last rescue attempt
};

Episode episode;

// The chapters whose latest text is only in a rescue copy, and their file.
struct Rescued {
  rescued_chapters::RescueList list;
  bool file_unread = false;  // the file could not be read: it is not written over until it is
  bool file_stale = false;   // the list changed since the file last took it
};

Rescued rescued;

// The red line is shown while saving fails or any chapter waits in a rescue copy.
bool line_shown = false;
ForumLabel forum;

std::string RescueListPath() { return InProgramFolder(texts::kRescueListFile); }

void KeepRescueListOnDisk() {
  if (rescued.file_unread) {
    rescued_chapters::RescueList on_disk;
    if (rescued_chapters::ReadListFile(RescueListPath(), &on_disk) ==
        rescued_chapters::ListFileState::kUnreadable) {
      return;
    }
    rescued.file_unread = false;
    for (const rescued_chapters::RescuedChapter& chapter : on_disk.chapters()) {
      if (rescued.list.Find(chapter.record) == nullptr) rescued.list.Note(chapter);
    }
    rescued.file_stale = true;
  }
  if (!rescued.file_stale) return;
  rescued.file_stale = !rescued_chapters::WriteListFile(RescueListPath(), rescued.list);
}

// The chapters waiting, one per line: 《name》（when 未能保存），抢救副本：path.
std::string ListOf(const std::vector<rescued_chapters::RescuedChapter>& chapters) {
  std::string text;
  for (const rescued_chapters::RescuedChapter& chapter : chapters) {
    text += runtime::Gbk("《") + chapter.name + runtime::Gbk("》（") + chapter.when +
            texts::kPendingFailedAt + PathForAuthor(chapter.rescue_path) + texts::kLineBreak;
  }
  return text;
}

// The chapters waiting that are not the one on the screen (that one is the save's own matter).
std::vector<rescued_chapters::RescuedChapter> WaitingElsewhere() {
  std::vector<rescued_chapters::RescuedChapter> waiting;
  for (const rescued_chapters::RescuedChapter& chapter : rescued.list.chapters()) {
    if (!chapter.on_screen) waiting.push_back(chapter);
  }
  return waiting;
}

// The warning as a sentence: what failed and where the text went.
std::string SaveFailureText() {
  if (episode.rescue.path.empty()) return episode.reason + texts::kRescueFailed;
  return episode.reason + texts::kRescuedTo + PathForAuthor(episode.rescue.path) +
         (episode.rescue.temporary ? texts::kRescueInTemporaryFolder : std::string());
}

std::string PendingLineText() {
  return texts::kPendingLineStart + std::to_string(WaitingElsewhere().size()) +
         texts::kPendingLineEnd;
}

std::string PendingText() {
  return texts::kPendingIntro + ListOf(WaitingElsewhere()) + texts::kPendingAdvice;
}

std::string ReasonOf(SaveKind kind) {
  if (kind == SaveKind::kAutosave) return texts::kAutosaveNotWritten;
  return texts::kRecordNotSaved + database::ErrorText(database::LastDatabaseError());
}

// Rescues the chapter on screen unless the same name and text were rescued already, and
// lists its record as waiting for that text.
void Rescue(bool even_if_unchanged) {
  const Text name = ReadText(unit::kNameBox, property::kContent);
  const Text text = ReadText(unit::kTextBox, property::kContent);
  std::string both = std::string(name.View()) + '\0' + std::string(text.View());
  episode.rescued_at = platform::TickCount();
  if (!even_if_unchanged && !episode.rescue.path.empty() && both == episode.rescued) return;
  const int32_t record = ShownChapterRecord();
  const std::string stem = episode.started + texts::kRescueStem + std::to_string(record);
  episode.rescue = WriteRescueCopy(stem, name.View(), text.View());
  if (episode.rescue.path.empty()) return;
  episode.rescued = std::move(both);
  if (record == 0 || ShownChapterUnreadable()) return;
  rescued_chapters::RescuedChapter chapter;
  chapter.record = record;
  chapter.name = std::string(name.View());
  chapter.rescue_path = episode.rescue.path;
  chapter.when = episode.started;
  chapter.on_screen = true;
  rescued.list.Note(std::move(chapter));
  rescued.file_stale = true;
  KeepRescueListOnDisk();
}

std::string Now() {
  return std::string(CoreText(libraries::kToText, {Core(libraries::kGetNow, {})}).View());
}

// The red line in place of the forum label: what failed while saving fails, else which
// chapters wait in a rescue copy; the forum label again when neither.
void ShowLine() {
  std::string text;
  if (episode.active) {
    text = SaveFailureText();
  } else if (!WaitingElsewhere().empty()) {
    text = PendingLineText();
  }
  if (text.empty()) {
    if (!line_shown) return;
    line_shown = false;
    WriteText(unit::kForumLabel, property::kCaption, forum.caption);
    WriteInt(unit::kForumLabel, property::kLabelTextColor, forum.text_color);
    LayOutForWindowSize();  // back to the top row
    return;
  }
  if (!line_shown) {
    line_shown = true;
    forum.caption = std::string(ReadText(unit::kForumLabel, property::kCaption).View());
    forum.text_color = ReadInt(unit::kForumLabel, property::kLabelTextColor);
    WriteInt(unit::kForumLabel, property::kLabelTextColor, kWarningColor);
  }
  if (ReadText(unit::kForumLabel, property::kCaption).View() != text)
    WriteText(unit::kForumLabel, property::kCaption, text);
  LayOutWarningLine();
}

// Told where the author looks, without taking the keys they are typing.
void Notify(const std::string& gbk_text) {
  gui::ShowNotice(gui::QStringOfGbk(gbk_text), gui::QStringOfGbk(texts::kErrorCaption));
}

int32_t Ask(const std::string& gbk_text, int32_t style, const std::string& caption) {
  const Text text(gbk_text);
  const Text caption_text(caption);
  return Core(libraries::kMessageBox, {text.Arg(), ArgCell::Int(style), caption_text.Arg()})
      .As<int32_t>();
}

void StartEpisode() {
  episode.active = true;
  episode.started = Now();
  Rescue(true);
  ShowLine();
  // One notice per episode; the timers go on, and their failures only update the line.
  Notify(SaveFailureText());
}

// The chapter on screen was saved: a rescue of it made while it stayed on the screen is in
// its record now. True when it was waiting.
bool HealShownChapter() {
  const rescued_chapters::RescuedChapter* chapter = rescued.list.Find(ShownChapterRecord());
  const bool healed = chapter != nullptr && chapter->on_screen;
  if (healed) {
    rescued.list.Forget(chapter->record);
    rescued.file_stale = true;
  }
  KeepRescueListOnDisk();
  return healed;
}

}  // namespace

void ReportSave(SaveKind kind, bool saved) {
  const auto index = static_cast<size_t>(kind);
  Retry& retry = episode.retry[index];
  if (saved) {
    retry = Retry{};
    const bool healed = kind == SaveKind::kRecord && HealShownChapter();
    episode.failing[index] = false;
    const bool ended = episode.active && !episode.failing[0] && !episode.failing[1];
    if (ended) episode = Episode{};
    if (ended || healed) ShowLine();
    return;
  }
  retry.failed_at = platform::TickCount();
  retry.wait_ms =
      retry.wait_ms == 0 ? kFirstRetryMs : std::min(retry.wait_ms * 2, kLongestRetryMs);
  // A record that cannot be saved says more than an autosave file that cannot be written.
  const std::string reason_before = episode.reason;
  if (kind == SaveKind::kRecord || !episode.failing[static_cast<size_t>(SaveKind::kRecord)]) {
    episode.reason = ReasonOf(kind);
  }
  episode.failing[index] = true;
  if (!episode.active) return StartEpisode();
  if (episode.reason != reason_before) ShowLine();
  if (platform::TickCount() - episode.rescued_at < kRescueEveryMs) return;
  const std::string before = episode.rescue.path;
  Rescue(false);
  if (episode.rescue.path != before) ShowLine();
}

bool SaveAttemptDue(SaveKind kind) {
  const Retry& retry = episode.retry[static_cast<size_t>(kind)];
  if (retry.wait_ms == 0 || platform::TickCount() - retry.failed_at >= retry.wait_ms) return true;
  if (episode.active && platform::TickCount() - episode.rescued_at >= kRescueEveryMs) {
    const std::string before = episode.rescue.path;
    Rescue(false);
    if (episode.rescue.path != before) ShowLine();
  }
  return false;
}

void ForgetSaveFailures() {
  episode = Episode{};
  rescued = Rescued{};
  line_shown = false;
}

bool SaveFailing() { return episode.active; }

std::string RescueShownChapter() {
  if (episode.started.empty()) episode.started = Now();
  Rescue(false);
  return episode.rescue.path;
}

std::string SaveFailureReason() { return episode.active ? episode.reason : std::string(); }

void LayOutWarningLine() {
  if (!line_shown) return;
  const int32_t text_right =
      ReadInt(unit::kTextBox, property::kLeft) + ReadInt(unit::kTextBox, property::kWidth);
  // From the window's inside: its Height counts a frame, and the line would sit under the
  // inside's bottom edge by the frame's height.
  const int32_t inside_height = units::InnerHeight(kMainWindow, unit::kWindow);
  WriteInt(unit::kForumLabel, property::kLeft, kLineLeft);
  WriteInt(unit::kForumLabel, property::kTop, inside_height - kLineHeight);
  WriteInt(unit::kForumLabel, property::kWidth, text_right - kLineLeft);
  WriteInt(unit::kForumLabel, property::kHeight, kLineHeight);
}

bool ExplainSaveFailure() {
  if (!line_shown) return false;
  Ask(episode.active ? SaveFailureText() : PendingText(), 0x30, texts::kErrorCaption);
  return true;
}

void LoadRescuedChapters() {
  using rescued_chapters::ListFileState;
  const std::string path = RescueListPath();
  switch (rescued_chapters::ReadListFile(path, &rescued.list)) {
    case ListFileState::kMissing:
      return;
    case ListFileState::kUnreadable:
      rescued.file_unread = true;
      return Notify(texts::kPendingUnreadable + PathForAuthor(path));
    case ListFileState::kDamaged: {
      // Not a list the desk wrote: kept under another name, and a new list starts.
      const std::string aside = path + ".damaged-" + std::to_string(platform::TickCount());
      if (!platform::RenameFile(path, aside)) {
        rescued.file_unread = true;
        return Notify(texts::kPendingUnreadable + PathForAuthor(path));
      }
      return Notify(texts::kPendingDamaged + PathForAuthor(aside));
    }
    case ListFileState::kRead:
      break;
  }
  // A chapter no longer in the list (deleted by another program) cannot take its text back:
  // its copy stays where it is, told once.
  std::vector<rescued_chapters::RescuedChapter> gone;
  for (const rescued_chapters::RescuedChapter& chapter : rescued.list.chapters()) {
    if (!ChapterRecordListed(chapter.record)) gone.push_back(chapter);
  }
  for (const rescued_chapters::RescuedChapter& chapter : gone) rescued.list.Forget(chapter.record);
  if (!gone.empty()) {
    rescued.file_stale = true;
    KeepRescueListOnDisk();
  }
  if (rescued.list.empty() && gone.empty()) return;
  ShowLine();
  Notify((rescued.list.empty() ? std::string() : PendingText()) +
         (gone.empty() ? std::string() : texts::kPendingGone + ListOf(gone)));
}

void NoteChapterLeft(int32_t record) {
  if (rescued_chapters::RescuedChapter* chapter = rescued.list.Find(record)) {
    chapter->on_screen = false;
    ShowLine();
  }
}

void NoteChapterDeleted(int32_t record) {
  if (rescued.list.Find(record) == nullptr) return;
  rescued.list.Forget(record);
  rescued.file_stale = true;
  KeepRescueListOnDisk();
  ShowLine();
}

void OfferRescuedText() {
  rescued_chapters::RescuedChapter* chapter = rescued.list.Find(ShownChapterRecord());
  if (chapter == nullptr || chapter->on_screen || ShownChapterUnreadable()) return;
  const int32_t answer =
      Ask(texts::kOfferStart + chapter->when + texts::kOfferMiddle +
              PathForAuthor(chapter->rescue_path) + texts::kOfferChoices,
          kYesNoCancelQuestion, texts::kWarningCaption);
  if (answer == kNo) return NoteChapterDeleted(chapter->record);  // dropped, knowingly
  if (answer != kYes) return;
  const std::optional<RescuedText> text = ReadRescueCopy(chapter->rescue_path);
  if (!text) {
    Ask(texts::kRescueUnreadable + PathForAuthor(chapter->rescue_path), 0x30,
        texts::kErrorCaption);
    return;
  }
  // What the record holds now goes to a copy of its own first: it may hold edits made after
  // the rescue.
  const Text name_now = ReadText(unit::kNameBox, property::kContent);
  const Text text_now = ReadText(unit::kTextBox, property::kContent);
  const RescueCopy before =
      WriteRescueCopy(Now() + texts::kReplacedStem + std::to_string(chapter->record),
                      name_now.View(), text_now.View());
  if (before.path.empty()) {
    // Nowhere to keep what the record holds: nothing is replaced, the chapter keeps waiting.
    Ask(texts::kReplacedNotKept, 0x30, texts::kErrorCaption);
    return;
  }
  chapter->on_screen = true;  // healed by the next save its record takes
  WriteText(unit::kNameBox, property::kContent, text->name);
  WriteText(unit::kTextBox, property::kContent, text->text);
  ShowLine();
}

bool RescuedChaptersWaiting() { return !rescued.list.empty(); }

bool MayCloseWithRescuedChapters() {
  KeepRescueListOnDisk();
  const std::vector<rescued_chapters::RescuedChapter> waiting = WaitingElsewhere();
  if (waiting.empty()) return true;
  return Ask(texts::kPendingIntro + ListOf(waiting) + texts::kClosePending, kOkCancelWarning,
             texts::kWarningCaption) == kOk;
}

}  // namespace app
