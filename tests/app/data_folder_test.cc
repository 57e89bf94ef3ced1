// Where the desk keeps the chapters: beside a program in a folder of its own, in the author's
// data folder for an installed program, with the installed empty database copied there once;
// refused starts where the folder would silently be another one.
#include "app/data_folder.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <fstream>
#include <optional>
#include <set>

#include "app/desk_texts.h"
#include "platform/core/fault_injection.h"
#include "platform/core/native_path.h"
#include "runtime/runtime_state.h"
#include "tests/app/desk_test.h"
#include "tests/support/program_process.h"

namespace {

namespace fs = std::filesystem;

// Sets (or, with none, unsets) an environment variable for the scope's length.
class ScopedVariable {
 public:
  ScopedVariable(std::string name, const std::optional<std::string>& value) : name_(std::move(name)) {
    if (const char* old = std::getenv(name_.c_str())) old_ = old;
    Set(value);
  }
  ~ScopedVariable() { Set(old_); }
  ScopedVariable(const ScopedVariable&) = delete;
  ScopedVariable& operator=(const ScopedVariable&) = delete;

 private:
  void Set(const std::optional<std::string>& value) {
    if (value) {
      test_support::SetVariable(name_, *value);
    } else {
      test_support::UnsetVariable(name_);
    }
  }
  std::string name_;
  std::optional<std::string> old_;
};

std::string Contents(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// An installed layout under a fresh folder: <root>/usr/bin and the empty database in
// <root>/usr/share/inkstone/empty-database.
struct InstalledLayout {
  fs::path root = desk_tests::MakeProgramFolder();
  fs::path bin = root / "usr" / "bin";
  fs::path installed_data = root / "usr" / "share" / "inkstone" / app::kTemplateFolderName;

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
  // Without %APPDATA% (or with a relative one) there is no place: never the program's folder,
  // which an uninstall removes.
  EXPECT_EQ(app::WindowsDeskFolderFor(layout.bin, nullptr), fs::path());
  EXPECT_EQ(app::WindowsDeskFolderFor(layout.bin, L"Roaming"), fs::path());
  fs::remove_all(portable);
}
#endif

TEST(DeskFolder, TheFirstStartCopiesTheEmptyDatabaseAndLaterOnesKeepTheChapters) {
  const InstalledLayout layout;
  const fs::path data_home = layout.root / "data-home";
  const ScopedVariable data_home_variable(desk_tests::kDataHomeVariable, data_home.string());
  runtime::Runtime().program_directory = platform::GbkPathOf(layout.bin);
  app::DeskFolderChoice choice = app::UseDeskFolder();
  EXPECT_EQ(choice.refused, "");
  EXPECT_EQ(choice.template_folder, layout.installed_data);
  const fs::path desk = data_home / desk_tests::kDeskFolderName;
  EXPECT_EQ(runtime::Runtime().program_directory, platform::GbkPathOf(desk));
  EXPECT_EQ(runtime::Runtime().program_directory_slash, platform::GbkPathOf(desk) + "\\");
  EXPECT_EQ(fs::current_path(), desk);
  // Nothing is copied before the folder is claimed.
  const fs::path data = desk / fs::u8path("小说数据");
  EXPECT_FALSE(fs::exists(data / "data.edb"));
  EXPECT_EQ(app::FillFromTemplate(choice.template_folder), "");
  EXPECT_EQ(Contents(data / "data.edb"), "main");
  EXPECT_EQ(Contents(data / "data.edt"), "memo");

  std::ofstream(data / "data.edb") << "the author's chapters";
  runtime::Runtime().program_directory = platform::GbkPathOf(layout.bin);
  choice = app::UseDeskFolder();
  EXPECT_EQ(choice.refused, "");
  EXPECT_EQ(app::FillFromTemplate(choice.template_folder), "");
  EXPECT_EQ(Contents(data / "data.edb"), "the author's chapters");

  // A data folder that cannot be made refuses the start, naming that folder.
  const fs::path blocked = layout.root / "a-file";
  std::ofstream(blocked) << "not a folder";
  test_support::SetVariable(desk_tests::kDataHomeVariable, blocked.string());
  runtime::Runtime().program_directory = platform::GbkPathOf(layout.bin);
  EXPECT_EQ(app::UseDeskFolder().refused, app::texts::kDeskFolderNotMade);
  EXPECT_EQ(runtime::Runtime().program_directory, platform::GbkPathOf(blocked / desk_tests::kDeskFolderName));
  fs::current_path(fs::temp_directory_path());
}

// With neither an absolute XDG_DATA_HOME nor an absolute HOME (%APPDATA% on Windows), an
// installed desk has no folder of the author's: a relative one would be wherever the desk was
// started from, another folder at each start.
TEST(DeskFolder, AnInstalledDeskWithoutAFolderOfTheAuthorsIsRefused) {
#ifndef _WIN32
  const InstalledLayout layout;
  EXPECT_EQ(app::DeskFolderFor(layout.bin, nullptr, nullptr), fs::path());
  EXPECT_EQ(app::DeskFolderFor(layout.bin, nullptr, ""), fs::path());
  EXPECT_EQ(app::DeskFolderFor(layout.bin, "data", "home/author"), fs::path());
  // Absolute XDG_DATA_HOME alone is enough.
  EXPECT_EQ(app::DeskFolderFor(layout.bin, "/data", nullptr), fs::path("/data/inkstone"));
#else
  const InstalledLayout layout;
#endif
  const ScopedVariable data_home(desk_tests::kDataHomeVariable, std::nullopt);
  const ScopedVariable home(desk_tests::kHomeVariable, std::nullopt);
  const fs::path started_in = layout.root / "started-in";
  fs::create_directories(started_in);
  fs::current_path(started_in);
  runtime::Runtime().program_directory = platform::GbkPathOf(layout.bin);
  EXPECT_EQ(app::UseDeskFolder().refused, app::texts::kNoAuthorDataFolder);
  EXPECT_EQ(runtime::Runtime().program_directory, platform::GbkPathOf(layout.bin));
  EXPECT_TRUE(fs::is_empty(started_in));
  EXPECT_FALSE(fs::exists(layout.bin / fs::u8path("小说数据")));
  fs::current_path(fs::temp_directory_path());
}

#ifndef _WIN32
// Makes `folder` one that this process cannot write: by its permissions, and for a process that
// is above them (root) by the immutable attribute. False when neither holds.
bool MakeUnwritable(const fs::path& folder) {
  fs::permissions(folder, fs::perms::owner_read | fs::perms::owner_exec);
  if (access(folder.c_str(), W_OK) != 0) return true;
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd == -1) return false;
  int flags = 0;
  const bool set = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 &&
                   (flags |= FS_IMMUTABLE_FL, ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0);
  close(fd);
  return set && access(folder.c_str(), W_OK) != 0;
}

void MakeWritable(const fs::path& folder) {
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd != -1) {
    int flags = 0;
    if (ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0 && (flags & FS_IMMUTABLE_FL)) {
      flags &= ~FS_IMMUTABLE_FL;
      ioctl(fd, FS_IOC_SETFLAGS, &flags);
    }
    close(fd);
  }
  fs::permissions(folder, fs::perms::owner_all);
}

// A portable desk on a stick that became write-protected (or a file system remounted
// read-only) is told as such, with its folder: taking it for an installed one would open the
// per-user folder's chapters, perhaps another novel, as if they were these.
TEST(DeskFolder, APortableFolderThatCannotBeWrittenIsRefusedNotSwappedForAnother) {
  const fs::path folder = desk_tests::MakeProgramFolder();
  const fs::path data_home = folder.string() + "-data-home";
  const ScopedVariable data_home_variable(desk_tests::kDataHomeVariable, data_home.string());
  const std::string chapters = Contents(folder / fs::u8path("小说数据/data.edb"));
  if (!MakeUnwritable(folder)) {
    MakeWritable(folder);
    fs::remove_all(folder);
    GTEST_SKIP() << "this process can write into every folder it makes";
  }
  EXPECT_EQ(app::DeskFolderFor(folder, data_home.c_str(), "/home/author"), folder);
  runtime::Runtime().program_directory = platform::GbkPathOf(folder);
  EXPECT_EQ(app::UseDeskFolder().refused, app::texts::kPortableFolderReadOnly);
  // The box names the program's own folder; nothing was made elsewhere.
  EXPECT_EQ(runtime::Runtime().program_directory, platform::GbkPathOf(folder));
  EXPECT_FALSE(fs::exists(data_home));
  MakeWritable(folder);
  EXPECT_EQ(Contents(folder / fs::u8path("小说数据/data.edb")), chapters);
  fs::remove_all(folder);
}
#endif

// The names in a folder.
std::set<std::string> Names(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
  return names;
}

// The first start's copy with the real empty database: a portable folder whose template
// (empty-database) is the shipped one, with no data.edb yet.
struct FirstStart {
  fs::path folder = desk_tests::MakeProgramFolder();
  fs::path data = folder / fs::u8path("小说数据");
  fs::path template_folder = folder / app::kTemplateFolderName;

  FirstStart() {
    fs::rename(data, template_folder);
    fs::create_directories(data);
    desk_tests::UseProgramFolder(folder);
  }
  ~FirstStart() {
    platform::DeclareEveryFolderFree();
    fs::remove_all(folder);
  }
};

// The main file appears only whole, and last: a copy cut short is never opened as an (empty or
// broken) database, and whatever it left behind does not stop the next start.
TEST(DeskFolder, TheFirstStartsCopyPutsTheMainFileInPlaceOnlyWholeAndLast) {
  const FirstStart start;
  const app::DeskFolderChoice choice = app::UseDeskFolder();
  ASSERT_EQ(choice.refused, "");
  EXPECT_EQ(choice.template_folder, start.template_folder);

  // No room: nothing at all appears, not even a temporary file.
  platform::DeclareFolderFull(platform::GbkPathOf(start.data));
  EXPECT_EQ(app::FillFromTemplate(choice.template_folder), app::texts::kTemplateNotCopied);
  EXPECT_TRUE(fs::is_empty(start.data));
  platform::DeclareEveryFolderFree();

  // A copy ended between its two renames (the memo file in place) by a crash that also left a
  // half-written temporary of the main file behind, under each system's temporary name.
  fs::copy_file(start.template_folder / "data.edt", start.data / "data.edt");
  const std::string main = Contents(start.template_folder / "data.edb");
  for (const char* leftover : {".inkstone-copy-x1Y2z3", "ink1A2B.tmp"}) {
    std::ofstream(start.data / leftover, std::ios::binary) << main.substr(0, main.size() / 2);
  }
  EXPECT_EQ(app::FillFromTemplate(choice.template_folder), "");
  EXPECT_EQ(Contents(start.data / "data.edb"), main);
  EXPECT_TRUE(desk_tests::DatabaseFaults(start.folder).empty());
  EXPECT_EQ(Names(start.data), (std::set<std::string>{".inkstone-copy-x1Y2z3", "ink1A2B.tmp",
                                                      "data.edb", "data.edt"}));
  // The template is as it was.
  EXPECT_EQ(Contents(start.template_folder / "data.edb"), main);
}

TEST(DeskFolder, AMemoFileWithoutItsMainFileIsKeptNotPairedWithTheEmptyDatabase) {
  const FirstStart start;
  // Perhaps the texts of a main file the author lost: an empty main file beside it would let the
  // desk write over them.
  std::ofstream(start.data / "data.edt", std::ios::binary) << "the texts of a lost main file";
  EXPECT_EQ(app::FillFromTemplate(start.template_folder), app::texts::kLoneMemoFile);
  EXPECT_EQ(Contents(start.data / "data.edt"), "the texts of a lost main file");
  EXPECT_FALSE(fs::exists(start.data / "data.edb"));
}

// The desk would write its chapters into the template every later first start copies.
TEST(DeskFolder, ADataFolderThatIsTheTemplatesFolderOrLiesInItIsRefused) {
  const InstalledLayout layout;
  const std::string template_main = Contents(layout.installed_data / "data.edb");
  // The author's data folder pointed into the installation.
  const ScopedVariable data_home(desk_tests::kDataHomeVariable, layout.installed_data.string());
  runtime::Runtime().program_directory = platform::GbkPathOf(layout.bin);
  EXPECT_EQ(app::UseDeskFolder().refused, app::texts::kDataFolderInTemplate);
  EXPECT_FALSE(fs::exists(layout.installed_data / desk_tests::kDeskFolderName));

  // 小说数据 made a link to the template (a portable folder, by hand).
  const fs::path portable = desk_tests::MakeProgramFolder();
  fs::remove_all(portable / fs::u8path("小说数据"));
  fs::copy(layout.installed_data, portable / app::kTemplateFolderName);
  std::error_code error;
  fs::create_directory_symlink(portable / app::kTemplateFolderName,
                               portable / fs::u8path("小说数据"), error);
  if (!error) {  // Windows gives links to privileged users only
    desk_tests::UseProgramFolder(portable);
    EXPECT_EQ(app::UseDeskFolder().refused, app::texts::kDataFolderInTemplate);
  }
  EXPECT_EQ(Contents(layout.installed_data / "data.edb"), template_main);
  fs::remove_all(portable);
}

}  // namespace
