#include "app/routines.h"

#include <string>

#include "app/appearance.h"
#include "app/autosave.h"
#include "app/chapter_history_window.h"
#include "app/chapters.h"
#include "app/daily_progress.h"
#include "app/desk_texts.h"
#include "app/exit_backup.h"
#include "app/find_in_novel.h"
#include "app/gate_calls.h"
#include "app/idle_timers.h"
#include "app/layout.h"
#include "app/main_window_ids.h"
#include "app/may_close.h"
#include "app/novel_transfer.h"
#include "app/publishing_actions.h"
#include "app/save_alarm.h"
#include "app/start_up.h"
#include "app/statistics.h"
#include "app/termination.h"

namespace app::routines {

namespace {

using runtime::ArgCell;

constexpr int32_t kKeyA = 65;
constexpr int32_t kKeyF = 70;
constexpr int32_t kCtrlShift = 3;
constexpr int32_t kKeyEnter = 13;
constexpr int32_t kCtrlAlone = 1;
constexpr int32_t kSelectRange = 0xB1;  // the edit box's select-range message
constexpr int32_t kNormal = 0, kMinimised = 2, kMaximised = 3;

int32_t Arg(const int32_t* args, int32_t count, int32_t index) {
  return index < count ? args[index] : 0;
}

void PopUp(forms::UnitId menu) { Core(libraries::kPopupMenu, {WindowRef(), MenuRef(menu)}); }

}  // namespace

HandlerResult OnCreated(const int32_t*, int32_t) {
  StartWithinTheScreen();
  StartUp();
  return {};
}

HandlerResult OnDestroying(const int32_t*, int32_t) {
  SaveWritingHistoryAtEnd();
  if (!EndingWithoutExitWork()) RunExitBackup();
  return {};
}

HandlerResult OnResized(const int32_t*, int32_t) {
  LayOutForWindowSize();
  return {};
}

HandlerResult OnMinimiseClicked(const int32_t*, int32_t) {
  WriteInt(unit::kWindow, property::kWindowState, kMinimised);
  return {};
}

HandlerResult OnMaximiseClicked(const int32_t*, int32_t) {
  const bool maximised = ReadInt(unit::kWindow, property::kWindowState) == kMaximised;
  WriteInt(unit::kWindow, property::kWindowState, maximised ? kNormal : kMaximised);
  return {};
}

HandlerResult OnCloseClicked(const int32_t*, int32_t) {
  if (MayClose()) Core(libraries::kDestroy, {WindowRef()});
  return {};
}

// A close from the system (a close request, the session's end) asks the same.
HandlerResult OnCloseQuery(const int32_t*, int32_t) { return {true, MayClose() ? 1 : 0}; }

HandlerResult OnSplitterMoved(const int32_t* args, int32_t count) {
  LayOutAroundSplitter(Arg(args, count, 1));
  return {};
}

HandlerResult OnChapterSelected(const int32_t*, int32_t) {
  LoadChosenChapter();
  return {};
}

HandlerResult OnChapterListRightUp(const int32_t*, int32_t) {
  PopUp(unit::kChapterListMenu);
  return {};
}

HandlerResult OnNewChapter(const int32_t*, int32_t) {
  NewChapter();
  return {};
}

HandlerResult OnDeleteChapter(const int32_t*, int32_t) {
  DeleteChapter();
  return {};
}

HandlerResult OnNameFocusGained(const int32_t*, int32_t) {
  WriteInt(unit::kNameBox, property::kSelLength, -1);
  return {};
}

HandlerResult OnNameChanged(const int32_t*, int32_t) {
  MarkChapterChanged();
  ArmSaveTimer();
  return {};
}

HandlerResult OnTextFocusGained(const int32_t*, int32_t) {
  WriteInt(unit::kTextBox, property::kSelLength, -1);
  return {};
}

// Every key is a moment of writing; Ctrl+A (Ctrl alone) selects the whole text.
HandlerResult OnTextKeyDown(const int32_t* args, int32_t count) {
  NoteKeyInText();
  if (Arg(args, count, 0) == kKeyA && Arg(args, count, 1) == kCtrlAlone) {
    Core(libraries::kSendMessage, {EditBoxRef(unit::kTextBox), ArgCell::Int(kSelectRange),
                                   ArgCell::Int(0), ArgCell::Int(-1)});
  }
  // Ctrl+Shift+F lays the chapter out (the menus' shortcut keys have no Ctrl+Shift+letter).
  if (Arg(args, count, 0) == kKeyF && Arg(args, count, 1) == kCtrlShift) LayOutShownChapter();
  return {};
}

// Enter: the box has put its line break at the caret; a second one and a four-space indent
// go at the very end of the text, ready for the next paragraph. Both go in through the
// box's caret (AppendText), so that undo takes them back like typed text and keeps what
// came before.
HandlerResult OnTextKeyUp(const int32_t* args, int32_t count) {
  // A chapter shown read-only takes no paragraph: it is never to change.
  if (Arg(args, count, 0) != kKeyEnter || ShownChapterUnreadable()) return {};
  const runtime::Text line_break(texts::kLineBreak);
  Core(libraries::kAppendText, {EditBoxRef(unit::kTextBox), line_break.Arg()});
  const runtime::Text indent = CoreText(libraries::kSpaceText, {ArgCell::Int(4)});
  Core(libraries::kAppendText, {EditBoxRef(unit::kTextBox), indent.Arg()});
  return {};
}

HandlerResult OnTextRightDown(const int32_t*, int32_t) {
  PopUp(unit::kTextMenu);
  return {};
}

HandlerResult OnTextChanged(const int32_t*, int32_t) {
  MarkChapterChanged();
  MarkAutosaveStale();
  ArmSaveTimer();
  ArmAutosaveTimer();
  CountChapterCharacters();
  return {};
}

HandlerResult OnSaveTick(const int32_t*, int32_t) {
  SaveCurrentChapter();
  if (!ChapterSaveDue()) DisarmSaveTimer();
  return {};
}

HandlerResult OnAutosaveTick(const int32_t*, int32_t) {
  if (const int32_t wait = Autosave(); wait > 0) {
    ArmAutosaveTimerIn(wait);
  } else {
    DisarmAutosaveTimer();
  }
  return {};
}

HandlerResult OnClockTick(const int32_t*, int32_t) {
  ShowClock();
  KeepWritingHistory();
  return {};
}

HandlerResult OnTextCharInput(const int32_t*, int32_t) {
  StartTiming();
  return {};
}

HandlerResult OnStopTiming(const int32_t*, int32_t) {
  StopTiming();
  return {};
}

HandlerResult OnSecondsTick(const int32_t*, int32_t) {
  TickSeconds();
  return {};
}

HandlerResult OnShowMinutes(const int32_t*, int32_t) {
  ShowMinutes();
  return {};
}

HandlerResult OnShowHours(const int32_t*, int32_t) {
  ShowHours();
  return {};
}

HandlerResult OnShowPerSecond(const int32_t*, int32_t) {
  ShowPerSecond();
  return {};
}

HandlerResult OnShowPerMinute(const int32_t*, int32_t) {
  ShowPerMinute();
  return {};
}

HandlerResult OnBackColorChanged(const int32_t*, int32_t) {
  ApplyBackColor();
  return {};
}

HandlerResult OnTextColorChanged(const int32_t*, int32_t) {
  ApplyTextColor();
  return {};
}

HandlerResult OnFontClicked(const int32_t*, int32_t) {
  ChooseFont();
  return {};
}

HandlerResult OnSearchClicked(const int32_t*, int32_t) {
  SearchTheWeb();
  return {};
}

// Enter released in the search box searches; any other key does nothing.
HandlerResult OnSearchBoxKeyUp(const int32_t* args, int32_t count) {
  if (Arg(args, count, 0) == kKeyEnter) SearchTheWeb();
  return {};
}

// The forum label doubles as the warning line while the text cannot be saved.
HandlerResult OnForumClicked(const int32_t*, int32_t) {
  if (!ExplainSaveFailure()) OpenForum();
  return {};
}

HandlerResult OnSaveReadablePart(const int32_t*, int32_t) {
  SaveReadablePartAsNewChapter();
  return {};
}

HandlerResult OnSetDailyTarget(const int32_t*, int32_t) {
  AskForDailyTarget();
  return {};
}

HandlerResult OnShowWritingHistory(const int32_t*, int32_t) {
  ShowWritingHistoryChart();
  return {};
}

HandlerResult OnTodayLineTick(const int32_t*, int32_t) {
  ShowTodayLine();
  return {};
}

HandlerResult OnShowChapterHistory(const int32_t*, int32_t) {
  ShowShownChapterHistory();
  return {};
}

HandlerResult OnShowDeletedChapters(const int32_t*, int32_t) {
  ShowDeletedChapters();
  return {};
}

HandlerResult OnFind(const int32_t*, int32_t) {
  ShowFindWindow(FindWindowPurpose::kFind);
  return {};
}

HandlerResult OnReplace(const int32_t*, int32_t) {
  ShowFindWindow(FindWindowPurpose::kReplace);
  return {};
}

HandlerResult OnLayOut(const int32_t*, int32_t) {
  LayOutShownChapter();
  return {};
}

HandlerResult OnCopyForPublishing(const int32_t*, int32_t) {
  CopyShownChapterForPublishing();
  return {};
}

HandlerResult OnPublishingSettings(const int32_t*, int32_t) {
  ChangePublishingSettings();
  return {};
}

HandlerResult OnImportNovel(const int32_t*, int32_t) {
  ImportNovel();
  return {};
}

HandlerResult OnExportNovel(const int32_t*, int32_t) {
  ExportNovel();
  return {};
}

}  // namespace app::routines
