#pragma once

#include <string_view>

namespace app {

// Writes the text box's text to the chapter's file in 小说文件 (name + ".txt"). A name holding
// a path separator ("/" or "\" as a character of its own, not as a GBK trail byte) would
// name a file outside that folder: no file is written then, as for any name that a file
// cannot hold. Failures are silent.
void WriteChapterFile(std::string_view gbk_name);

// Whether a GBK name holds "/" or "\" as a character.
bool HoldsPathSeparator(std::string_view gbk_name);

}  // namespace app
