#pragma once

#include <filesystem>
#include <string>

namespace app {

// Where the desk keeps an author's chapters and the folders beside them.
//
// A program folder unpacked anywhere the author may write (a portable folder, the build's own
// app folder) keeps everything beside the program, as it always has; one that cannot be
// written is refused with the reason, never swapped for another folder, which may hold another
// novel. An installed program (its folder is `<prefix>/bin` with `<prefix>/share/inkstone`
// beside it) keeps it in the author's own data folder, $XDG_DATA_HOME/inkstone
// (~/.local/share/inkstone when the variable is unset or not absolute; with neither an absolute
// XDG_DATA_HOME nor an absolute HOME the start is refused). On Windows the author's data folder
// is %APPDATA%\Inkstone.
//
// The empty chapter database a desk starts from is a template kept where no desk writes: in
// `<prefix>/share/inkstone/empty-database` for an installed program, in `empty-database` beside
// a portable one. Installing, upgrading or unpacking a newer version puts only the template
// there, never anything into a desk's 小说数据, so no upgrade can put an empty database over a
// novel. The first start (no data.edb in 小说数据) copies the template in.

// The template's folder name, the same in every layout.
inline constexpr char kTemplateFolderName[] = "empty-database";

// The folder the desk uses for the program in `program_folder`, with the environment given;
// empty for an installed program with no absolute folder of the author's to go to.
std::filesystem::path DeskFolderFor(const std::filesystem::path& program_folder,
                                    const char* xdg_data_home, const char* home);
#ifdef _WIN32
// The same on Windows, with the value of %APPDATA%.
std::filesystem::path WindowsDeskFolderFor(const std::filesystem::path& program_folder,
                                           const wchar_t* app_data);
#endif

// Where the empty chapter database of the program in `program_folder` lies.
std::filesystem::path TemplateFolderFor(const std::filesystem::path& program_folder);

struct DeskFolderChoice {
  std::string refused;                    // the reason (GBK) for a refused start; empty: go on
  std::filesystem::path template_folder;  // for FillFromTemplate, once the folder is claimed
};

// Makes the desk's folder the program folder (GetProgramDirectory, the current folder) when it
// is not the program's own, creating it. Refuses a portable folder that cannot be written, an
// installed desk without a folder of the author's, and a data folder that is, or lies in, the
// template's folder (the desk would write its chapters into the template). Copies nothing: the
// copy waits until the folder is claimed (single_instance.h), so that no second desk copies
// into it at the same time.
DeskFolderChoice UseDeskFolder();

// The first start: copies the template's data.edt, then its data.edb, into the claimed folder's
// 小说数据 when it has no data.edb. Each file goes to a temporary name in 小说数据, is flushed
// and then renamed into place, the main file last: a copy cut short leaves no data.edb (the
// next start copies again; a temporary left behind is never taken for a database). A data.edt
// there without data.edb is kept as it is unless it is the template's own (left by a copy cut
// short): it may hold the texts of a lost main file. Without a template nothing is copied (the
// start-up's open then says what is missing). Gives an empty text, else the reason (GBK).
std::string FillFromTemplate(const std::filesystem::path& template_folder);

}  // namespace app
