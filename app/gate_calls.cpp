#include "app/gate_calls.h"

#include "app/main_window_ids.h"
#include "libraries/library_notify.h"
#include "platform/core/code_page.h"
#include "platform/core/native_path.h"
#include "runtime/gates.h"

namespace app {

using runtime::ArgCell;

ArgCell Core(libraries::CoreCommand command, std::initializer_list<ArgCell> args) {
  return runtime::CallCoreCommand(libraries::CoreCommandFunctions()[command], args);
}

runtime::Text CoreText(libraries::CoreCommand command, std::initializer_list<ArgCell> args) {
  return runtime::Text::FromResult(Core(command, args));
}

ArgCell TreeBoxMethod(libraries::TreeBoxCommand command, std::initializer_list<ArgCell> args) {
  return runtime::CallLibraryCommand(libraries::TreeBoxCommandFunctions()[command], args);
}

std::string InProgramFolder(std::string_view relative) {
  const runtime::Text folder = CoreText(libraries::kGetProgramDirectory, {});
  return std::string(folder.View()) + std::string(relative);
}

std::string PathForAuthor(std::string_view gbk_path) {
  return platform::Utf8ToGbk(platform::NativePath(gbk_path));
}

ArgCell WindowRef() { return ArgCell::UnitReference(unit_class::kWindow, kMainWindow, unit::kWindow); }
ArgCell EditBoxRef(forms::UnitId id) { return ArgCell::UnitReference(unit_class::kEditBox, kMainWindow, id); }
ArgCell TreeBoxRef(forms::UnitId id) { return ArgCell::UnitReference(unit_class::kTreeBox, kMainWindow, id); }
ArgCell MenuRef(forms::UnitId id) { return ArgCell::UnitReference(unit_class::kMenu, kMainWindow, id); }
ArgCell CommonDialogRef(forms::UnitId id) {
  return ArgCell::UnitReference(unit_class::kCommonDialog, kMainWindow, id);
}

runtime::Text ReadText(forms::UnitId id, int32_t property) {
  return runtime::Text::FromResult(runtime::ReadUnitProperty(kMainWindow, id, property, -1));
}

void WriteText(forms::UnitId id, int32_t property, std::string_view gbk) {
  const runtime::Text text(gbk);
  runtime::WriteUnitProperty(kMainWindow, id, property, -1, text.Arg());
}

int32_t ReadInt(forms::UnitId id, int32_t property) {
  return runtime::ReadUnitProperty(kMainWindow, id, property, -1).As<int32_t>();
}

void WriteInt(forms::UnitId id, int32_t property, int32_t value) {
  runtime::WriteUnitProperty(kMainWindow, id, property, -1, ArgCell::Int(value));
}

}  // namespace app
