#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace app {

// Writes the text box's text to the file in 小说文件 of the chapter in record `record` (its
// name given), named as ChapterFileStem says; nothing when it names none. Failures are
// silent: the chapter is in the database either way.
void WriteChapterFile(std::string_view gbk_name, int32_t record);

// The stem (without ".txt") of the chapter file of record `record` named `gbk_name`: the name
// itself when a file can hold it. A name holding a path separator ("/" or "\" as a character
// of its own, not as a GBK trail byte) would name a file outside the folder: none then (an
// empty stem). An empty name would make a hidden ".txt" that every unnamed chapter shares:
// "未命名（记录N）" instead. A name too long for a file name is cut to fit and ends in
// "～N", so that two long names that agree up to the cut keep a file each.
std::string ChapterFileStem(std::string_view gbk_name, int32_t record);

// Whether a GBK name holds "/" or "\" as a character.
bool HoldsPathSeparator(std::string_view gbk_name);

// The longest start of `gbk_name`, cut at a character boundary, whose file name (with
// `gbk_suffix` and ".txt") the file system can hold: at most 255 bytes of UTF-8 on Linux, 255
// UTF-16 units on Windows.
std::string FittedChapterFileName(std::string_view gbk_name, std::string_view gbk_suffix = {});

}  // namespace app
