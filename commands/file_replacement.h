#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// Writing a whole file so that an author never finds it torn or empty: the new content goes to a
// temporary file in the same folder, is flushed to the storage device and then renamed over the
// target. A crash or a failed write at any moment leaves either the old or the new content.

namespace commands {

// The temporary file that ReplaceFileContent writes for `gbk_path`: a hidden sibling,
// ".<name>.inkstone-new" (for a name too long for those marks, ".<hash of the name>.inkstone-new").
// Its name is fixed, so a file left behind by a crash is simply overwritten by the next write of
// the same target; it never collects.
std::string TemporaryPathFor(std::string_view gbk_path);

// Replaces the content of the file at `gbk_path` (GBK, "\" separators) with `pieces`, one after
// the other. False, with the old file as it was and no temporary file left, when the path is
// empty, its folder is missing, another open holds the file (it is written with exclusive
// sharing), it cannot be written, or a write fails. The file's permissions are kept.
bool ReplaceFileContent(std::string_view gbk_path,
                        std::span<const std::span<const uint8_t>> pieces);

}  // namespace commands
