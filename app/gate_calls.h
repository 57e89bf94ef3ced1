#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "forms/form_ids.h"
#include "libraries/core_commands.h"
#include "runtime/arg_cell.h"
#include "runtime/owned_blocks.h"

// How the writing window's routines reach the runtime: commands through the command gates
// (by their position in the library's command array), unit properties through the
// property gates. Where no command exists (the engine's error text at start-up, the list
// of chapter files at the end) the routine says so beside the call.
namespace app {

// A core-library command; a text or byte-set result belongs to the caller.
runtime::ArgCell Core(libraries::CoreCommand command, std::initializer_list<runtime::ArgCell> args);
// The same when the result is a text.
runtime::Text CoreText(libraries::CoreCommand command, std::initializer_list<runtime::ArgCell> args);
// A logical result: true when its word is not 0.
inline bool IsTrue(const runtime::ArgCell& logical) { return logical.low != 0; }

// A tree-box method of "扩展界面支持库一".
runtime::ArgCell TreeBoxMethod(libraries::TreeBoxCommand command,
                               std::initializer_list<runtime::ArgCell> args);

// The program's folder (GetProgramDirectory) followed by `relative` ("\\小说文件").
std::string InProgramFolder(std::string_view relative);

// A GBK path as the author's system writes it (its own separators), for a message.
std::string PathForAuthor(std::string_view gbk_path);

// Unit references of the writing window's units (the first argument of a unit method).
runtime::ArgCell WindowRef();
runtime::ArgCell EditBoxRef(forms::UnitId unit);
runtime::ArgCell TreeBoxRef(forms::UnitId unit);
runtime::ArgCell MenuRef(forms::UnitId unit);
runtime::ArgCell CommonDialogRef(forms::UnitId unit);

// Property access on the writing window's units.
runtime::Text ReadText(forms::UnitId unit, int32_t property);
void WriteText(forms::UnitId unit, int32_t property, std::string_view gbk);
int32_t ReadInt(forms::UnitId unit, int32_t property);
void WriteInt(forms::UnitId unit, int32_t property, int32_t value);

}  // namespace app
