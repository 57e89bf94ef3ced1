#include "app/writing_desk.h"

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

// In the order of app/routines.txt.
const runtime::EventHandler kRoutines[] = {
    OnCreated,           OnDestroying,      OnResized,      OnMinimiseClicked, OnMaximiseClicked,
    OnCloseClicked,      OnSplitterMoved,   OnChapterSelected, OnChapterListRightUp, OnNewChapter,
    OnDeleteChapter,     OnNameFocusGained, OnNameChanged,  OnTextFocusGained, OnTextKeyDown,
    OnTextKeyUp,         OnTextRightDown,   OnTextChanged,  OnSaveTick,        OnAutosaveTick,
    OnClockTick,
};

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

int32_t WritingDeskEntry() {
  runtime::RuntimeService(6);
  runtime::RuntimeService(3, reinterpret_cast<intptr_t>(&EndRoutine));
  if (!ClaimProgramFolder()) {
    TellAlreadyOpen();
    return 0;
  }
  EndCleanlyOnTermination();
  runtime::LoadStartupWindow(kMainWindow);
  runtime::RunMessageLoop();
  return 0;
}

}  // namespace app
