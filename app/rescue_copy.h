#pragma once

#include <string>
#include <string_view>

namespace app {

// Where a chapter goes when it cannot be saved where it belongs: a copy of its name and text,
// written into the first of these places that takes it — 自动保存备份 in the program's
// folder, then "Inkstone 抢救" in the author's home folder, then the system's temporary
// folder (the program's disk may be the full one). Two files with the same stem: the GBK
// text ("<stem>.txt", as the desk's own files) and the same in UTF-8 ("<stem>（UTF-8）.txt")
// for any other editor. Each file holds the name, a blank line, then the text; each is
// replaced whole, so a rescue copy is never torn.
//
// Gives the GBK path of the GBK file written, or an empty text when no place took both.
std::string WriteRescueCopy(std::string_view stem, std::string_view name_gbk,
                            std::string_view text_gbk);

}  // namespace app
