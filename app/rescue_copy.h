#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace app {

// Where a chapter goes when it cannot be saved where it belongs: a copy of its name and text,
// written into the first of these places that takes it — 自动保存备份 in the program's
// folder, then "Inkstone 抢救" in the author's home folder, then a folder of the author's
// own in the system's temporary folder (the program's disk may be the full one), which a
// restart may empty. Two files with the same stem: the GBK text ("<stem>.txt", as the desk's
// own files) and the same in UTF-8 ("<stem>（UTF-8）.txt") for any other editor. Each file
// holds the name, a blank line, then the text; each is replaced whole, so a rescue copy is
// never torn, and is readable by the author alone; the two folders outside the program's
// folder are the author's alone too.
struct RescueCopy {
  std::string path;        // GBK path of the GBK file; empty when no place took both
  bool temporary = false;  // in the temporary folder: gone after a restart
};
RescueCopy WriteRescueCopy(std::string_view stem, std::string_view name_gbk,
                           std::string_view text_gbk);

// The name and text of a rescue copy (its GBK file), read back to be put into its chapter;
// nothing when it cannot be read or is not such a copy.
struct RescuedText {
  std::string name;
  std::string text;
};
inline constexpr int64_t kLargestRescueCopy = int64_t{64} << 20;
std::optional<RescuedText> ReadRescueCopy(const std::string& gbk_path);

}  // namespace app
