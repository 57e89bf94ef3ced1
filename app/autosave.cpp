#include "app/autosave.h"

#include "app/desk_texts.h"
#include "app/gate_calls.h"
#include "app/main_window_ids.h"

namespace app {

namespace {

bool stale = true;

}  // namespace

void MarkAutosaveStale() { stale = true; }

void Autosave() {
  if (!stale || ReadInt(unit::kAutosaveSwitch, property::kChecked) != 1) return;
  const runtime::Text path(InProgramFolder(texts::kAutosaveFile));
  const runtime::Text content = ReadText(unit::kTextBox, property::kContent);
  const runtime::ByteSet bytes = runtime::ByteSet::FromResult(Core(libraries::kToByteSet, {content.Arg()}));
  // A failed write (a full disk) is tried again at the next tick.
  if (IsTrue(Core(libraries::kWriteBytesToFile, {path.Arg(), bytes.Arg()}))) stale = false;
}

}  // namespace app
