#pragma once

#include <string>
#include <string_view>

namespace app {

// Writes the text box's text to the chapter's file in 小说文件 (name + ".txt"). A name holding
// a path separator ("/" or "\" as a character of its own, not as a GBK trail byte) would
// name a file outside that folder: no file is written then, as for any name that a file
// cannot hold. A name too long for a file name is cut to fit (FittedChapterFileName).
// Failures are silent: the chapter is in the database either way.
void WriteChapterFile(std::string_view gbk_name);

// Whether a GBK name holds "/" or "\" as a character.
bool HoldsPathSeparator(std::string_view gbk_name);

// The longest start of `gbk_name`, cut at a character boundary, whose file name (with ".txt")
// the file system can hold: at most 255 bytes of UTF-8 on Linux, 255 UTF-16 units on Windows.
std::string FittedChapterFileName(std::string_view gbk_name);

}  // namespace app
