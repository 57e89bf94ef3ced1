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
#include "tests/support/program_process.h"

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

#ifndef _WIN32
// The rule on Linux: its paths are Linux paths.
TEST(DeskFolder, AnInstalledProgramKeepsThemInTheAuthorsDataFolder) {
  const InstalledLayout layout;
  EXPECT_EQ(app::DeskFolderFor(layout.bin, "/data", "/home/author"), fs::path("/data/inkstone"));
  // Unset or relative: the default under the home folder.
  EXPECT_EQ(app::DeskFolderFor(layout.bin, nullptr, "/home/author"),
            fs::path("/home/author/.local/share/inkstone"));
  EXPECT_EQ(app::DeskFolderFor(layout.bin, "data", "/home/author"),
            fs::path("/home/author/.local/share/inkstone"));
}
#endif

#ifdef _WIN32
TEST(DeskFolder, OnWindowsAnInstalledProgramKeepsThemInAppDataAndAPortableOneBesideItself) {
  const InstalledLayout layout;
  EXPECT_EQ(app::WindowsDeskFolderFor(layout.bin, L"C:\\Users\\author\\AppData\\Roaming"),
            fs::path(L"C:\\Users\\author\\AppData\\Roaming\\Inkstone"));
  const fs::path portable = desk_tests::MakeProgramFolder();
  EXPECT_EQ(app::WindowsDeskFolderFor(portable, L"C:\\Users\\author\\AppData\\Roaming"), portable);
  // Without %APPDATA% there is no other place than the program's own.
  EXPECT_EQ(app::WindowsDeskFolderFor(layout.bin, nullptr), layout.bin);
  fs::remove_all(portable);
}
#endif

TEST(DeskFolder, TheFirstStartCopiesTheEmptyDatabaseAndLaterOnesKeepTheChapters) {
  const InstalledLayout layout;
  const fs::path data_home = layout.root / "data-home";
  const char* old_data_home = std::getenv(desk_tests::kDataHomeVariable);
  const std::string kept_data_home = old_data_home != nullptr ? old_data_home : "";
  test_support::SetVariable(desk_tests::kDataHomeVariable, data_home.string());
  runtime::Runtime().program_directory = platform::GbkPathOf(layout.bin);
  EXPECT_EQ(app::UseDeskFolder(), "");
  const fs::path desk = data_home / desk_tests::kDeskFolderName;
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
  test_support::SetVariable(desk_tests::kDataHomeVariable, blocked.string());
  runtime::Runtime().program_directory = platform::GbkPathOf(layout.bin);
  EXPECT_EQ(app::UseDeskFolder(), app::texts::kDeskFolderNotMade);
  EXPECT_EQ(runtime::Runtime().program_directory, platform::GbkPathOf(blocked / desk_tests::kDeskFolderName));
  if (old_data_home != nullptr) {
    test_support::SetVariable(desk_tests::kDataHomeVariable, kept_data_home);
  } else {
    test_support::UnsetVariable(desk_tests::kDataHomeVariable);
  }
  fs::current_path(fs::temp_directory_path());
}

}  // namespace
