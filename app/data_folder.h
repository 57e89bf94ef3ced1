#pragma once

#include <filesystem>
#include <string>

namespace app {

// Where the desk keeps an author's chapters and the folders beside them.
//
// A program folder unpacked anywhere the author may write (a portable folder, the build's own
// app folder) keeps everything beside the program, as it always has. An installed program
// (its folder is `<prefix>/bin` with `<prefix>/share/inkstone` beside it, or a folder the
// author cannot write) keeps it in the author's own data folder, $XDG_DATA_HOME/inkstone
// (~/.local/share/inkstone when the variable is unset or not absolute); on the first start
// the empty chapter database installed in `<prefix>/share/inkstone/小说数据` is copied there.
// Nothing already there is ever overwritten. On Windows the author's data folder is
// %APPDATA%\Inkstone.

// The folder the desk uses for the program in `program_folder`, with the environment given.
std::filesystem::path DeskFolderFor(const std::filesystem::path& program_folder,
                                    const char* xdg_data_home, const char* home);
#ifdef _WIN32
// The same on Windows, with the value of %APPDATA% (the program's folder when it is unset).
std::filesystem::path WindowsDeskFolderFor(const std::filesystem::path& program_folder,
                                           const wchar_t* app_data);
#endif

// Makes the desk's folder the program folder (GetProgramDirectory, the current folder) when it
// is not the program's own, creating it and copying the empty chapter database into it where
// none is. Gives an empty text when the desk can use its folder, else the reason (GBK) for
// the refused start.
std::string UseDeskFolder();

}  // namespace app
