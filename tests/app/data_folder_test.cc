// Where the desk keeps the chapters: beside a program in a folder of its own, in the author's
// data folder for an installed program, with the installed empty database copied there once.
#include "app/data_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/desk_texts.h"
#include "platform/core/native_path.h"
#include "runtime/runtime_state.h"
#include "tests/app/desk_test.h"

namespace {

namespace fs = std::filesystem;

std::string Contents(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// An installed layout under a fresh folder: <root>/usr/bin and the empty database in
// <root>/usr/share/inkstone/小说数据.
struct InstalledLayout {
  fs::path root = desk_tests::MakeProgramFolder();
  fs::path bin = root / "usr" / "bin";
  fs::path installed_data = root / "usr" / "share" / "inkstone" / fs::u8path("小说数据");

  InstalledLayout() {
    fs::create_directories(bin);
    fs::create_directories(installed_data);
    std::ofstream(installed_data / "data.edb") << "main";
    std::ofstream(installed_data / "data.edt") << "memo";
  }
  ~InstalledLayout() { fs::remove_all(root); }
};

TEST(DeskFolder, AProgramInAFolderOfItsOwnKeepsItsChaptersBesideItself) {
  const fs::path folder = desk_tests::MakeProgramFolder();
  EXPECT_EQ(app::DeskFolderFor(folder, "/data", "/home/author"), folder);
  fs::remove_all(folder);
}

TEST(DeskFolder, AnInstalledProgramKeepsThemInTheAuthorsDataFolder) {
  const InstalledLayout layout;
  EXPECT_EQ(app::DeskFolderFor(layout.bin, "/data", "/home/author"), fs::path("/data/inkstone"));
  // Unset or relative: the default under the home folder.
  EXPECT_EQ(app::DeskFolderFor(layout.bin, nullptr, "/home/author"),
            fs::path("/home/author/.local/share/inkstone"));
  EXPECT_EQ(app::DeskFolderFor(layout.bin, "data", "/home/author"),
            fs::path("/home/author/.local/share/inkstone"));
}

TEST(DeskFolder, TheFirstStartCopiesTheEmptyDatabaseAndLaterOnesKeepTheChapters) {
  const InstalledLayout layout;
  const fs::path data_home = layout.root / "data-home";
  setenv("XDG_DATA_HOME", data_home.c_str(), 1);
  runtime::Runtime().program_directory = platform::GbkPathOf(layout.bin);
  EXPECT_EQ(app::UseDeskFolder(), "");
  const fs::path desk = data_home / "inkstone";
  EXPECT_EQ(runtime::Runtime().program_directory, platform::GbkPathOf(desk));
  EXPECT_EQ(runtime::Runtime().program_directory_slash, platform::GbkPathOf(desk) + "\\");
  EXPECT_EQ(fs::current_path(), desk);
  const fs::path data = desk / fs::u8path("小说数据");
  EXPECT_EQ(Contents(data / "data.edb"), "main");
  EXPECT_EQ(Contents(data / "data.edt"), "memo");

  std::ofstream(data / "data.edb") << "the author's chapters";
  runtime::Runtime().program_directory = platform::GbkPathOf(layout.bin);
  EXPECT_EQ(app::UseDeskFolder(), "");
  EXPECT_EQ(Contents(data / "data.edb"), "the author's chapters");

  // A data folder that cannot be made refuses the start, naming that folder.
  const fs::path blocked = layout.root / "a-file";
  std::ofstream(blocked) << "not a folder";
  setenv("XDG_DATA_HOME", blocked.c_str(), 1);
  runtime::Runtime().program_directory = platform::GbkPathOf(layout.bin);
  EXPECT_EQ(app::UseDeskFolder(), app::texts::kDeskFolderNotMade);
  EXPECT_EQ(runtime::Runtime().program_directory, platform::GbkPathOf(blocked / "inkstone"));
  unsetenv("XDG_DATA_HOME");
  fs::current_path(fs::temp_directory_path());
}

}  // namespace
