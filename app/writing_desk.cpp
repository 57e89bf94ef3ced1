#include "app/writing_desk.h"

#include <string>
#include <vector>

#include "app/data_folder.h"
#include "app/desktop_identity.h"
#include "app/routines.h"
#include "app/single_instance.h"
#include "app/termination.h"
#include "app/main_window_ids.h"
#include "libraries/library_table.h"
#include "runtime/gates.h"

extern const unsigned char main_window_block[];
extern const int main_window_block_size;

namespace app {

namespace {

using namespace routines;

// The routine table, in the order of app/routines.txt (the form's bindings name routines by
// their line there); RoutineNames lets a test hold the two side by side.
#define INKSTONE_ROUTINES(X) \
  X(OnCreated) \
  X(OnDestroying) \
  X(OnResized) \
  X(OnMinimiseClicked) \
  X(OnMaximiseClicked) \
  X(OnCloseClicked) \
  X(OnSplitterMoved) \
  X(OnChapterSelected) \
  X(OnChapterListRightUp) \
  X(OnNewChapter) \
  X(OnDeleteChapter) \
  X(OnNameFocusGained) \
  X(OnNameChanged) \
  X(OnTextFocusGained) \
  X(OnTextKeyDown) \
  X(OnTextKeyUp) \
  X(OnTextRightDown) \
  X(OnTextChanged) \
  X(OnSaveTick) \
  X(OnAutosaveTick) \
  X(OnClockTick) \
  X(OnTextCharInput) \
  X(OnStopTiming) \
  X(OnSecondsTick) \
  X(OnShowMinutes) \
  X(OnShowHours) \
  X(OnShowPerSecond) \
  X(OnShowPerMinute) \
  X(OnBackColorChanged) \
  X(OnTextColorChanged) \
  X(OnFontClicked) \
  X(OnSearchClicked) \
  X(OnSearchBoxKeyUp) \
  X(OnForumClicked) \
  X(OnCloseQuery) \
  X(OnSaveReadablePart) \
  X(OnSetDailyTarget) \
  X(OnShowWritingHistory) \
  X(OnTodayLineTick) \
  X(OnShowChapterHistory) \
  X(OnShowDeletedChapters) \
  X(OnFind) \
  X(OnReplace) \
  X(OnLayOut) \
  X(OnCopyForPublishing) \
  X(OnPublishingSettings) \
  X(OnImportNovel) \
  X(OnExportNovel)

#define INKSTONE_ROUTINE(name) name,
const runtime::EventHandler kRoutines[] = {INKSTONE_ROUTINES(INKSTONE_ROUTINE)};
#undef INKSTONE_ROUTINE

#define INKSTONE_ROUTINE_NAME(name) #name,
const std::vector<std::string> kRoutineNames = {INKSTONE_ROUTINES(INKSTONE_ROUTINE_NAME)};
#undef INKSTONE_ROUTINE_NAME

void EndRoutine() {}

}  // namespace

const runtime::ProgramImage& WritingDeskImage() {
  static const runtime::ProgramImage image = [] {
    runtime::ProgramImage header;
    header.image_kind = 3;
    header.id_seed = 0x000100F1;
    header.code_base = reinterpret_cast<const uint8_t*>(kRoutines);
    header.template_block = main_window_block;
    header.template_block_size = main_window_block_size;
    header.library_count = libraries::kLibraryCount;
    header.libraries = libraries::LibraryTable();
    return header;
  }();
  return image;
}

const std::vector<std::string>& RoutineNames() { return kRoutineNames; }

int32_t WritingDeskEntry() {
  runtime::RuntimeService(6);
  runtime::RuntimeService(3, reinterpret_cast<intptr_t>(&EndRoutine));
  PresentToDesktop();
  // The folder is claimed before the first start's copy into it: a second desk started at the
  // same moment is refused instead of copying over the first one's files.
  const DeskFolderChoice desk_folder = UseDeskFolder();
  std::string refused = desk_folder.refused;
  if (refused.empty()) refused = ClaimProgramFolder();
  if (refused.empty()) refused = FillFromTemplate(desk_folder.template_folder);
  if (!refused.empty()) {
    TellFolderNotClaimed(refused);
    return 0;
  }
  EndCleanlyOnTermination();
  runtime::LoadStartupWindow(kMainWindow);
  runtime::RunMessageLoop();
  return 0;
}

}  // namespace app
