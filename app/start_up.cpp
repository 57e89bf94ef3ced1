#include "app/start_up.h"

#include <string>

#include "app/autosave.h"
#include "app/chapter_versions.h"
#include "app/chapters.h"
#include "app/daily_progress.h"
#include "app/desk_texts.h"
#include "app/gate_calls.h"
#include "app/idle_timers.h"
#include "app/main_window_ids.h"
#include "app/publishing_actions.h"
#include "app/save_alarm.h"
#include "app/statistics.h"
#include "database/database_list.h"
#include "database/error_codes.h"
#include "libraries/library_notify.h"
#include "runtime/gates.h"

namespace app {

namespace {

using runtime::ArgCell;
using runtime::Text;

void CreateFolders() {
  for (const std::string* folder : {&texts::kChapterFolder, &texts::kChapterBackupFolder,
                                    &texts::kAutosaveFolder, &texts::kAutosaveBackupFolder}) {
    const Text path(InProgramFolder(*folder));
    Core(libraries::kCreateDirectory, {path.Arg()});
  }
}

// Opened for this program alone (share mode 4): no other program changes the chapters under
// it, so the engine takes no byte-range locks, and listing or switching through thousands of
// chapters costs no lock calls.
bool OpenChapterDatabase() {
  const Text path(InProgramFolder(texts::kDatabasePath));
  return IsTrue(
      Core(libraries::kOpenDatabase, {path.Arg(), ArgCell{}, ArgCell{}, ArgCell::Int(4)}));
}

void UseThemedLook() {
  runtime::CallLibraryCommand(libraries::VisualStyleCommand(), {ArgCell::Int(2)});
}

// The engine's reason (no command gives its text, so it is read from the engine): an author
// must not type for an hour into a window that saves nothing.
void TellDatabaseUnavailable(int32_t error_code) {
  const Text text(texts::kDatabaseUnavailable + database::ErrorText(error_code));
  const Text caption(texts::kErrorCaption);
  Core(libraries::kMessageBox, {text.Arg(), ArgCell::Int(0x30), caption.Arg()});
}

void ShowClockPart(forms::UnitId label, const std::string& prefix, libraries::CoreCommand part) {
  const ArgCell value = Core(part, {Core(libraries::kGetNow, {})});
  const Text text = CoreText(libraries::kToText, {value});
  const std::string caption = prefix + std::string(text.View());
  // Only a part that changed is written: a write repaints all that lies under the label, and
  // the date, the hour and the minute stay the same for most ticks.
  if (ReadText(label, property::kCaption).View() == caption) return;
  WriteText(label, property::kCaption, caption);
}

}  // namespace

void ShowClock() {
  ShowClockPart(unit::kDateLabel, texts::kDatePrefix, libraries::kGetDatePart);
  ShowClockPart(unit::kHourLabel, texts::kHourPrefix, libraries::kGetHour);
  ShowClockPart(unit::kMinuteLabel, texts::kMinutePrefix, libraries::kGetMinute);
  ShowClockPart(unit::kSecondLabel, texts::kSecondPrefix, libraries::kGetSecond);
}

void StartUp() {
  RememberSaveTimerIntervals();
  ResetSecondsCounter();
  ForgetSaveFailures();
  CreateFolders();
  const bool open = OpenChapterDatabase();
  SetChapterDatabaseOpen(open);
  // The engine's code is read before any other command resets it.
  const int32_t open_error = database::LastDatabaseError();
  UseThemedLook();
  // Before the first chapter is loaded: its count is where today's growth starts from.
  StartPublishing();  // before the first count: it names the count the target uses
  StartWritingHistory();
  if (open) {
    ListChapters();
    LoadRescuedChapters();
    OpenChapterVersions();
  }
  WriteInt(unit::kChapterList, property::kCurrentItem, 0);
  KeepLastSessionAutosave();
  ShowClock();
  if (!open) TellDatabaseUnavailable(open_error);
}

}  // namespace app
