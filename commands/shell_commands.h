#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "runtime/arg_cell.h"

namespace commands {

// The page OpenWebPage opens when no address is given: the project's own page.
inline constexpr std::string_view kProjectPage = "https://inkstone-writer.github.io/";

// ShellRun(optional verb, file, optional parameters, optional directory, optional show mode):
// hands the file to the desktop without waiting and reports nothing. Verbs: 1 edit, 2
// explore, 3 find, 4 open, 5 print, anything else the default action. Here "open" and the
// default action start an executable file with the parameters in the directory and open any
// other file with the desktop's handler; "edit" always opens with the handler; "explore" and
// "find" open the folder (the file's own when it is not one); "print" hands the file to the
// print spooler. The show mode has no meaning for a program started apart from us.
void ShellRun(runtime::ArgCell* result, int32_t count, const runtime::ArgCell* args);

// OpenWebPage(optional address): opens the address (kProjectPage when left out) with the
// desktop's browser; reports nothing.
void OpenWebPage(runtime::ArgCell* result, int32_t count, const runtime::ArgCell* args);

// SetVisualStyle(level): 1 to 3 switch the themed look on for the whole user-interface thread
// and answer true; any other level switches it off and answers whether it was on.
void SetVisualStyle(runtime::ArgCell* result, int32_t count, const runtime::ArgCell* args);

// An address as a browser sends it: GBK bytes of 0x80 and up, blanks and control bytes
// percent-encoded byte by byte ("小说" → "%D0%A1%CB%B5"), everything else as it is.
std::string EncodeAddress(std::string_view gbk_address);

}  // namespace commands
