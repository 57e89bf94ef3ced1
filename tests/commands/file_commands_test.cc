#include "commands/file_commands.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "commands/file_replacement.h"
#include "platform/core/fault_injection.h"
#include "platform/core/file.h"
#include "runtime/allocator.h"
#include "runtime/blocks.h"
#include "runtime/gates.h"
#include "runtime/runtime_state.h"
#include "tests/commands/command_test_support.h"
#include "tests/support/child_process.h"

namespace commands_test {
namespace {

namespace fs = std::filesystem;

bool Logical(const ArgCell& result) {
  EXPECT_EQ(result.type, runtime::kLogical);
  return result.low != 0;
}

// Writes 4096 "a" and 4096 "b" to the file arguments[0] with the file fault arguments[1]
// (the nth write-like call) and arguments[2] (a FaultAction) armed.
INKSTONE_CHILD_MODE(WriteWithFault) {
  const runtime::ByteSet a(std::vector<uint8_t>(4096, 'a'));
  const runtime::ByteSet b(std::vector<uint8_t>(4096, 'b'));
  platform::ArmFileFault(std::atoll(arguments[1].c_str()),
                         static_cast<platform::FaultAction>(std::atoi(arguments[2].c_str())));
  const ArgCell args[] = {ArgCell::Text(arguments[0].c_str()), a.Arg(), b.Arg()};
  runtime::CallCoreCommand(commands::WriteBytesToFile, 3, args);
  return 0;
}

constexpr size_t kOldSize = 1 << 20;
constexpr size_t kNewSize = (1 << 20) + 7;

// Writes the file arguments[0] over and over, a new content and an old one in turn, until it is
// killed; tells the parent when it starts.
INKSTONE_CHILD_MODE(WriteForever) {
  const runtime::ByteSet old_content(std::vector<uint8_t>(kOldSize, 'o'));
  const runtime::ByteSet new_content(std::vector<uint8_t>(kNewSize, 'n'));
  test_support::SignalParent();
  for (int i = 0;; ++i) {
    const ArgCell args[] = {ArgCell::Text(arguments[0].c_str()),
                            (i % 2 == 0 ? new_content : old_content).Arg()};
    runtime::CallCoreCommand(commands::WriteBytesToFile, 2, args);
  }
}

class FileCommandsTest : public testing::Test {
 protected:
  // 小说文件\第一章.txt, the way the application names a chapter file.
  void SetUp() override {
    ASSERT_TRUE(fs::create_directory(folder_.Native("小说文件")));
    chapter_ = folder_.GbkPath("小说文件\\第一章.txt");
    chapter_native_ = folder_.Native("小说文件/第一章.txt");
  }
  void TearDown() override {
    platform::DisarmFileFault();
    platform::DeclareEveryFolderFree();
  }

  bool Write(const std::string& path, const std::vector<ArgCell>& contents) {
    std::vector<ArgCell> args = {ArgCell::Text(path.c_str())};
    args.insert(args.end(), contents.begin(), contents.end());
    return Logical(runtime::CallCoreCommand(commands::WriteBytesToFile,
                                            static_cast<int32_t>(args.size()), args.data()));
  }
  bool WriteText(const std::string& path, std::string_view content) {
    const runtime::ByteSet bytes(
        std::span(reinterpret_cast<const uint8_t*>(content.data()), content.size()));
    return Write(path,
                 {bytes.IsEmpty() ? ArgCell::ByteSet(commands::EmptyByteSet()) : bytes.Arg()});
  }
  // Only the chapter file is in the folder: no temporary file is left beside it.
  void ExpectOnlyTheChapterFile() {
    std::vector<fs::path> names;
    for (const auto& entry : fs::directory_iterator(folder_.Native("小说文件"))) {
      names.push_back(entry.path().filename());
    }
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0], chapter_native_.filename());
  }

  TempFolder folder_;
  std::string chapter_;
  fs::path chapter_native_;
};

TEST_F(FileCommandsTest, GetProgramDirectoryCopiesTheRuntimesFolder) {
  const std::string saved = runtime::Runtime().program_directory;
  runtime::Runtime().program_directory = Gbk("C:\\写作\\工具");
  const ArgCell result = runtime::CallCoreCommand(commands::GetProgramDirectory, {});
  EXPECT_NE(result.AsPointer<char>(), runtime::Runtime().program_directory.c_str());
  EXPECT_EQ(TakeText(result), Gbk("C:\\写作\\工具"));
  runtime::Runtime().program_directory.clear();
  EXPECT_EQ(runtime::CallCoreCommand(commands::GetProgramDirectory, {}).AsPointer<char>(), nullptr);
  runtime::Runtime().program_directory = saved;
}

TEST_F(FileCommandsTest, CreateDirectoryMakesOneLevelWithItsChineseName) {
  auto create = [](const std::string& path) {
    return Logical(
        runtime::CallCoreCommand(commands::CreateDirectory, {ArgCell::Text(path.c_str())}));
  };
  EXPECT_TRUE(create(folder_.GbkPath("自动保存")));
  EXPECT_TRUE(fs::is_directory(folder_.Native("自动保存")));
  EXPECT_FALSE(create(folder_.GbkPath("自动保存")));    // exists
  EXPECT_FALSE(create(folder_.GbkPath("没有\\备份")));  // parent missing
  EXPECT_FALSE(fs::exists(folder_.Native("没有")));
}

TEST_F(FileCommandsTest, WriteBytesToFileWritesTheByteSetsInOrder) {
  const runtime::ByteSet first(std::vector<uint8_t>{0xB5, 0xDA, 0xD2, 0xBB});  // 第一
  const runtime::ByteSet second(std::vector<uint8_t>{'\r', '\n', 0, 'x'});
  EXPECT_TRUE(
      Write(chapter_, {first.Arg(), ArgCell::ByteSet(commands::EmptyByteSet()), second.Arg()}));
  EXPECT_EQ(ReadNative(chapter_native_), std::string("\xB5\xDA\xD2\xBB\r\n\0x", 8));
  ExpectOnlyTheChapterFile();

  // A shorter content replaces the longer one entirely.
  EXPECT_TRUE(WriteText(chapter_, "ab"));
  EXPECT_EQ(ReadNative(chapter_native_), "ab");
  ExpectOnlyTheChapterFile();
}

TEST_F(FileCommandsTest, AnEmptyByteSetWritesAnEmptyFile) {
  const uint8_t* empty = commands::EmptyByteSet();
  EXPECT_EQ(runtime::ReadBlockWord(empty, 0), 1);
  EXPECT_EQ(runtime::ReadBlockWord(empty, 1), 0);
  EXPECT_TRUE(runtime::ByteSetBytes(empty).empty());
  runtime::FreeBlock(const_cast<uint8_t*>(empty));  // static: freeing it does nothing

  EXPECT_TRUE(Write(chapter_, {ArgCell::ByteSet(empty)}));
  EXPECT_TRUE(fs::exists(chapter_native_));
  EXPECT_EQ(fs::file_size(chapter_native_), 0u);
  WriteNative(chapter_native_, "old");
  EXPECT_TRUE(Write(chapter_, {ArgCell::ByteSet(empty)}));
  EXPECT_EQ(fs::file_size(chapter_native_), 0u);
}

TEST_F(FileCommandsTest, WriteBytesToFileFailsWithoutTouchingAnything) {
  EXPECT_FALSE(WriteText(folder_.GbkPath("没有的文件夹\\第一章.txt"), "x"));
  EXPECT_FALSE(fs::exists(folder_.Native("没有的文件夹")));
  EXPECT_FALSE(WriteText("", "x"));
  EXPECT_FALSE(WriteText(folder_.GbkPath("小说文件"), "x"));  // a folder
  EXPECT_TRUE(fs::is_directory(folder_.Native("小说文件")));
  EXPECT_TRUE(fs::is_empty(folder_.Native("小说文件")));
}

// Windows files have no permission bits beyond read-only.
#ifndef _WIN32
TEST_F(FileCommandsTest, WriteBytesToFileKeepsTheFilesPermissions) {
  WriteNative(chapter_native_, "old");
  fs::permissions(chapter_native_, fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_TRUE(WriteText(chapter_, "new"));
  EXPECT_EQ(fs::status(chapter_native_).permissions(),
            fs::perms::owner_read | fs::perms::owner_write);
}
#endif

TEST_F(FileCommandsTest, WriteBytesToFileFailsWhileAnotherOpenHoldsTheFile) {
  WriteNative(chapter_native_, "old");
  {
    platform::FileResult reader =
        platform::File::Open(chapter_, platform::FileAccess::kRead, platform::ShareMode::kDenyNone,
                             platform::Disposition::kOpenExisting);
    ASSERT_TRUE(reader.ok());
    EXPECT_FALSE(WriteText(chapter_, "new"));
    EXPECT_EQ(ReadNative(chapter_native_), "old");
    ExpectOnlyTheChapterFile();
  }
  EXPECT_TRUE(WriteText(chapter_, "new"));
  EXPECT_EQ(ReadNative(chapter_native_), "new");
}

// Regression: a write that fails part-way used to leave a torn file behind.
TEST_F(FileCommandsTest, AFailedWriteLeavesTheOldFileAsItWas) {
  WriteNative(chapter_native_, "old content");
  const runtime::ByteSet a(std::vector<uint8_t>{'n', 'e'});
  const runtime::ByteSet b(std::vector<uint8_t>{'w'});
  for (int64_t nth : {1, 2, 3}) {  // the first write, the second write, the flush
    platform::ArmFileFault(nth, platform::FaultAction::kFail);
    EXPECT_FALSE(Write(chapter_, {a.Arg(), b.Arg()})) << nth;
    EXPECT_EQ(ReadNative(chapter_native_), "old content") << nth;
    ExpectOnlyTheChapterFile();
  }
  // A missing file stays missing.
  fs::remove(chapter_native_);
  platform::ArmFileFault(1, platform::FaultAction::kFail);
  EXPECT_FALSE(WriteText(chapter_, "new"));
  EXPECT_FALSE(fs::exists(chapter_native_));
}

TEST_F(FileCommandsTest, AProcessEndedMidWriteLeavesTheOldContent) {
  WriteNative(chapter_native_, "old content");
  for (const auto& [nth, action] : std::vector<std::pair<int64_t, platform::FaultAction>>{
           {1, platform::FaultAction::kTornWrite},
           {2, platform::FaultAction::kTornWrite},
           {3, platform::FaultAction::kExit}}) {  // the flush
    test_support::Child child("WriteWithFault", {chapter_, std::to_string(nth),
                                                 std::to_string(static_cast<int>(action))});
    const int code = child.Wait();
    EXPECT_EQ(code, platform::kFaultExitCode) << nth;
    EXPECT_EQ(ReadNative(chapter_native_), "old content") << nth;
  }
  // The temporary file the crash left behind is simply taken over by the next write.
  EXPECT_TRUE(fs::exists(platform::FsPath(commands::TemporaryPathFor(chapter_))));
  EXPECT_TRUE(WriteText(chapter_, "new content"));
  EXPECT_EQ(ReadNative(chapter_native_), "new content");
  ExpectOnlyTheChapterFile();
}

// The temporary sibling's marks would push a name near the limit past it: such a file must
// still be written (by a shorter temporary name), and replaced again.
TEST_F(FileCommandsTest, AFileWhoseNameIsNearTheLimitIsStillWrittenAndReplaced) {
  std::string name;
  for (int i = 0; i < 83; ++i) name += "长";  // 249 bytes of UTF-8, 83 UTF-16 units
  chapter_ = folder_.GbkPath("小说文件\\" + name + ".txt");
  chapter_native_ = folder_.Native("小说文件/" + name + ".txt");
  EXPECT_TRUE(WriteText(chapter_, "first"));
  EXPECT_TRUE(WriteText(chapter_, "second"));
  EXPECT_EQ(ReadNative(chapter_native_), "second");
  ExpectOnlyTheChapterFile();
}

TEST_F(FileCommandsTest, AKilledWriterLeavesOneWholeContentOrTheOther) {
  const std::string old_content(kOldSize, 'o');
  const std::string new_content(kNewSize, 'n');
  WriteNative(chapter_native_, old_content);
  std::mt19937 random(7);
  for (int round = 0; round < 6; ++round) {
    test_support::Child child("WriteForever", {chapter_});
    ASSERT_TRUE(child.WaitReady());
    // The kill comes at a random moment of the writes, timed from their start.
    std::this_thread::sleep_for(std::chrono::microseconds(2000 + random() % 20000));
    child.Kill();
    ASSERT_EQ(child.Wait(), -1) << "the writer never ends by itself";
    const std::string content = ReadNative(chapter_native_);
    EXPECT_TRUE(content == old_content || content == new_content) << "round " << round;
  }
  EXPECT_TRUE(WriteText(chapter_, "after"));
  EXPECT_EQ(ReadNative(chapter_native_), "after");
  ExpectOnlyTheChapterFile();
}

TEST_F(FileCommandsTest, DeleteFileRemovesOneFile) {
  auto remove = [](const std::string& path) {
    return Logical(runtime::CallCoreCommand(commands::DeleteFile, {ArgCell::Text(path.c_str())}));
  };
  WriteNative(chapter_native_, "x");
  EXPECT_TRUE(remove(chapter_));
  EXPECT_FALSE(fs::exists(chapter_native_));
  EXPECT_FALSE(remove(chapter_));                     // missing
  EXPECT_FALSE(remove(folder_.GbkPath("小说文件")));  // a folder
  EXPECT_FALSE(remove(""));
}

// The desk's autosave and chapter writes on a disk with no room: each fails, for as long as the
// disk stays full, and the file it would have replaced keeps its bytes.
TEST_F(FileCommandsTest, WritesAndCopiesIntoAFullFolderFailAndKeepTheOldFile) {
  WriteNative(chapter_native_, "old content");
  ASSERT_TRUE(fs::create_directory(folder_.Native("备份")));
  const std::string backup = folder_.GbkPath("备份\\第一章.txt");
  platform::DeclareFolderFull(folder_.GbkPath("小说文件"));
  for (int attempt = 0; attempt < 3; ++attempt) {
    EXPECT_FALSE(WriteText(chapter_, "new content")) << attempt;
    EXPECT_EQ(ReadNative(chapter_native_), "old content");
    ExpectOnlyTheChapterFile();
  }
  EXPECT_FALSE(WriteText(folder_.GbkPath("小说文件\\第二章.txt"), "x"));
  ExpectOnlyTheChapterFile();
  // Out of the full folder into one with room works; back into it does not.
  const auto copy = [](const std::string& from, const std::string& to) {
    return Logical(runtime::CallCoreCommand(
        commands::CopyFile, {ArgCell::Text(from.c_str()), ArgCell::Text(to.c_str())}));
  };
  EXPECT_TRUE(copy(chapter_, backup));
  EXPECT_FALSE(copy(backup, folder_.GbkPath("小说文件\\第三章.txt")));
  ExpectOnlyTheChapterFile();

  platform::DeclareFolderFree(folder_.GbkPath("小说文件"));
  EXPECT_TRUE(WriteText(chapter_, "new content"));
  EXPECT_EQ(ReadNative(chapter_native_), "new content");
}

TEST_F(FileCommandsTest, CopyFileOverwritesTheTarget) {
  auto copy = [](const std::string& from, const std::string& to) {
    return Logical(runtime::CallCoreCommand(
        commands::CopyFile, {ArgCell::Text(from.c_str()), ArgCell::Text(to.c_str())}));
  };
  ASSERT_TRUE(fs::create_directory(folder_.Native("备份")));
  const std::string backup = folder_.GbkPath("备份\\第一章.txt");
  WriteNative(chapter_native_, "first");
  EXPECT_TRUE(copy(chapter_, backup));
  EXPECT_EQ(ReadNative(folder_.Native("备份/第一章.txt")), "first");
  WriteNative(chapter_native_, "second, longer");
  EXPECT_TRUE(copy(chapter_, backup));
  EXPECT_EQ(ReadNative(folder_.Native("备份/第一章.txt")), "second, longer");
  EXPECT_FALSE(copy(folder_.GbkPath("小说文件\\没有.txt"), backup));  // missing source
  EXPECT_FALSE(copy(chapter_, folder_.GbkPath("没有\\第一章.txt")));  // missing folder
}

}  // namespace
}  // namespace commands_test
