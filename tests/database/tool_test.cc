// The database tool, run as a program on files the engine wrote.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <windows.h>

#include "platform/core/wide_text.h"
#else
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "chapter_history/version_store.h"
#include "platform/core/native_path.h"
#include "runtime/owned_blocks.h"
#include "tests/database/database_test_support.h"
#include "tests/support/damaged_chain.h"

namespace database::testing {
namespace {

struct ToolRun {
  int status;
  std::string out;
};

#ifdef _WIN32

// Runs the tool with `arguments` and collects what it writes to its standard output and error.
ToolRun RunTool(const std::vector<std::string>& arguments) {
  std::wstring line = platform::QuotedArgument(platform::WideFromUtf8(TOOL_PATH));
  for (const std::string& argument : arguments) {
    line += L' ' + platform::QuotedArgument(platform::WideFromUtf8(argument));
  }
  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE read_end = nullptr, write_end = nullptr;
  if (!CreatePipe(&read_end, &write_end, &inheritable, 0)) return {-1, "no pipe"};
  SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = write_end;
  startup.hStdError = write_end;
  PROCESS_INFORMATION started{};
  const bool ok = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                 &startup, &started);
  CloseHandle(write_end);
  std::string out;
  char buffer[4096];
  for (DWORD n; ok && ReadFile(read_end, buffer, sizeof buffer, &n, nullptr) && n > 0;) {
    out.append(buffer, n);
  }
  CloseHandle(read_end);
  if (!ok) return {-1, "the tool does not start"};
  WaitForSingleObject(started.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(started.hProcess, &code);
  CloseHandle(started.hProcess);
  CloseHandle(started.hThread);
  // The tool writes text: its lines end in CR LF here.
  std::string lines;
  for (size_t i = 0; i < out.size(); ++i) {
    if (!(out[i] == '\r' && i + 1 < out.size() && out[i + 1] == '\n')) lines += out[i];
  }
  return {static_cast<int>(code), lines};
}

#else

// Runs the tool with `arguments` and collects what it writes to its standard output and error.
ToolRun RunTool(const std::vector<std::string>& arguments) {
  std::vector<char*> argv = {const_cast<char*>(TOOL_PATH)};
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  int pipe_fds[2];
  if (pipe(pipe_fds) != 0) return {-1, "no pipe"};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], 1);
  posix_spawn_file_actions_adddup2(&actions, pipe_fds[1], 2);
  posix_spawn_file_actions_addclose(&actions, pipe_fds[0]);
  posix_spawn_file_actions_addclose(&actions, pipe_fds[1]);
  pid_t pid = -1;
  const int started = posix_spawn(&pid, TOOL_PATH, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(pipe_fds[1]);
  std::string out;
  char buffer[4096];
  for (ssize_t n; started == 0 && (n = read(pipe_fds[0], buffer, sizeof buffer)) > 0;) {
    out.append(buffer, static_cast<size_t>(n));
  }
  close(pipe_fds[0]);
  if (started != 0) return {-1, "the tool does not start"};
  int status = 0;
  if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return {-1, out};
  return {WEXITSTATUS(status), out};
}

#endif

class Tool : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = folder_.Native("data.edb");
    const ToolRun created = RunTool({"create", path_, "姓名:memo", "学号:byteset"});
    ASSERT_EQ(created.status, 0) << created.out;
    ASSERT_EQ(OpenDefault(folder_.Gbk("data.edb")), 0);
    Database& db = *DatabaseList::Instance().Current();
    const char* chapters[][2] = {{"第一章", "天地玄黄"}, {"第二章", "宇宙洪荒"}, {"a/b", "x\"y"}};
    for (const auto& chapter : chapters) {
      ASSERT_EQ(db.AppendBlank(), 0);
      const std::string text = runtime::Gbk(chapter[1]);
      runtime::ByteSet bytes(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
      runtime::Text name(runtime::Gbk(chapter[0]));
      const FieldUpdate updates[] = {{runtime::Gbk("姓名"), name.Arg()},
                                     {runtime::Gbk("学号"), bytes.Arg()}};
      ASSERT_EQ(db.UpdateRecords(nullptr, updates), 0);
    }
    db.GoFirst();
    db.Skip(1);
    ASSERT_EQ(db.MarkRecords(nullptr, true), 0);
    DatabaseList::Instance().CloseAll();
  }
  TempFolder folder_;
  std::string path_;
};

TEST_F(Tool, HelpCreateAndRefusingToOverwrite) {
  const ToolRun help = RunTool({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("check <file>"), std::string::npos);
  // Where the desk keeps the chapters and its template, as the README says.
  EXPECT_NE(help.out.find("<prefix>/share/inkstone/empty-database"), std::string::npos);
  EXPECT_NE(help.out.find("$XDG_DATA_HOME/inkstone/"), std::string::npos);
  EXPECT_EQ(RunTool({"create", path_, "姓名:memo"}).status, 2) << "never overwrites";
  EXPECT_EQ(RunTool({"create", folder_.Native("x.edb"), "a:text"}).status, 2);
  EXPECT_EQ(RunTool({"frobnicate"}).status, 2);
}

TEST_F(Tool, DumpWritesOneJsonObjectPerRecord) {
  const ToolRun dump = RunTool({"dump", path_});
  ASSERT_EQ(dump.status, 0) << dump.out;
  std::istringstream lines(dump.out);
  std::vector<std::string> records;
  for (std::string line; std::getline(lines, line);) records.push_back(line);
  ASSERT_EQ(records.size(), 3u);
  // "天地玄黄" in GBK is 8 bytes: CCEC B5D8 D0FE BBC6.
  EXPECT_EQ(records[0],
            "{\"number\": 1, \"id\": 1, \"deleted\": false, \"fields\": {\"姓名\": \"第一章\", "
            "\"学号\": \"zOy12ND+u8Y=\"}}");
  EXPECT_NE(records[1].find("\"id\": 2, \"deleted\": true"), std::string::npos);
  EXPECT_NE(records[2].find("\"姓名\": \"a/b\""), std::string::npos);
}

TEST_F(Tool, CheckFindsFaultsAndRepairReclaimsLeaks) {
  EXPECT_EQ(RunTool({"check", path_}).status, 0);
  // A leaked block: in no chain and not free.
  std::vector<uint8_t> memo = ReadWholeFile(folder_.Native("data.edt"));
  const size_t blocks = memo.size() / 512;
  memo.resize(memo.size() + 512, 0);
  PutWord(memo, 16, static_cast<int32_t>(blocks + 1));
  WriteWholeFile(folder_.Native("data.edt"), memo);
  ToolRun check = RunTool({"check", path_});
  EXPECT_EQ(check.status, 0) << "a leak is no fault";
  EXPECT_NE(check.out.find("1 leaked"), std::string::npos) << check.out;
  EXPECT_EQ(RunTool({"check", "--repair", path_}).status, 0);
  check = RunTool({"check", path_});
  EXPECT_NE(check.out.find("0 leaked"), std::string::npos) << check.out;

  // Two records sharing a chain is a fault.
  std::vector<uint8_t> main = ReadWholeFile(path_);
  PutWord(main, 260 + 12 + 4, Word(main, 260 + 4));
  WriteWholeFile(path_, main);
  check = RunTool({"check", path_});
  EXPECT_EQ(check.status, 1);
  EXPECT_NE(check.out.find("FAULT"), std::string::npos);
}

// A chain that breaks off: the check says so and changes nothing; the repair saves the chapter's
// bytes beside the database before it cuts the chain and reclaims the blocks past the break.
TEST_F(Tool, RepairSavesTheBytesOfABrokenChainBeforeFreeingItsBlocks) {
  ASSERT_EQ(OpenDefault(folder_.Gbk("data.edb")), 0);
  Database& db = *DatabaseList::Instance().Current();
  const std::string chapter = std::string(500, 'a') + std::string(500, 'b') + "end";
  ASSERT_EQ(SetText(db, runtime::Gbk("姓名"), chapter), 0);  // record 1
  DatabaseList::Instance().CloseAll();
  ASSERT_TRUE(test_support::DamageMemoChain(folder_.Path("data.edb"), 0, runtime::Gbk("姓名"),
                                            test_support::ChainDamage::kFirstLinkPastTheEnd));
  const std::vector<uint8_t> memo = ReadWholeFile(folder_.Native("data.edt"));

  ToolRun check = RunTool({"check", path_});
  EXPECT_EQ(check.status, 1);
  EXPECT_NE(check.out.find("FAULT: record 1 field 姓名"), std::string::npos) << check.out;
  EXPECT_EQ(ReadWholeFile(folder_.Native("data.edt")), memo) << "a check without --repair";

  check = RunTool({"check", "--repair", path_});
  EXPECT_EQ(check.status, 0) << check.out;
  const std::filesystem::path rescued = folder_.Path("data.rescued-1-姓名.bin");
  EXPECT_NE(check.out.find("rescued: record 1 field 姓名: 1003 bytes saved to "), std::string::npos)
      << check.out;
  EXPECT_NE(check.out.find("data.rescued-1-姓名.bin"), std::string::npos) << check.out;
  std::ifstream in(rescued, std::ios::binary);
  EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), {}), chapter)
      << "the blocks past the break are found by their back links";

  check = RunTool({"check", path_});
  EXPECT_EQ(check.status, 0) << check.out;
  EXPECT_NE(check.out.find("0 leaked"), std::string::npos) << check.out;
  ASSERT_EQ(OpenDefault(folder_.Gbk("data.edb")), 0);
  EXPECT_EQ(ReadText(*DatabaseList::Instance().Current(), 0), std::string(500, 'a'))
      << "the record keeps the part before the break";
  DatabaseList::Instance().CloseAll();

  // A second rescue of the same record never overwrites the first.
  ASSERT_TRUE(test_support::DamageMemoChain(folder_.Path("data.edb"), 0, runtime::Gbk("姓名"),
                                            test_support::ChainDamage::kChainStartsPastTheEnd));
  check = RunTool({"check", "--repair", path_});
  EXPECT_EQ(check.status, 0) << check.out;
  EXPECT_TRUE(std::filesystem::exists(folder_.Path("data.rescued-1-姓名-2.bin"))) << check.out;
}

TEST_F(Tool, ExportWritesEveryLiveChapterAsUtf8) {
  const ToolRun run = RunTool({"export", path_, folder_.Native("out")});
  ASSERT_EQ(run.status, 0) << run.out;
  std::ifstream first(folder_.Path("out/第一章.txt"), std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(first)), {});
  EXPECT_EQ(text, "天地玄黄");
  EXPECT_FALSE(std::filesystem::exists(folder_.Path("out/第二章.txt"))) << "deleted";
  EXPECT_TRUE(std::filesystem::exists(folder_.Path("out/a_b.txt")));
}

TEST_F(Tool, HistoryPrintsOneJsonLinePerDayOfTheDeskFolder) {
  std::filesystem::create_directories(folder_.Path("desk/小说数据"));
  const char* history =
      "{\"version\": 1, \"target\": 4000, \"days\": [\n"
      "  {\"date\": \"2026-12-08\", \"characters\": 5120, \"minutes\": 183},\n"
      "  {\"date\": \"2026-12-09\", \"characters\": -40, \"minutes\": 2}]}";
  std::ofstream(folder_.Path("desk/小说数据/写作记录.json"), std::ios::binary) << history;
  const std::string expected =
      "{\"date\": \"2026-12-08\", \"characters\": 5120, \"minutes\": 183}\n"
      "{\"date\": \"2026-12-09\", \"characters\": -40, \"minutes\": 2}\n";
  for (const char* folder : {"desk", "desk/小说数据"}) {
    const std::u8string path = folder_.Path(folder).u8string();
    const ToolRun run = RunTool({"history", std::string(path.begin(), path.end())});
    EXPECT_EQ(run.status, 0) << folder;
    EXPECT_EQ(run.out, expected) << folder;
  }
  std::ofstream(folder_.Path("desk/小说数据/写作记录.json"), std::ios::binary)
      << "{\"version\": 1,";
  const ToolRun damaged = RunTool({"history", folder_.Native("desk")});
  EXPECT_EQ(damaged.status, 2);
  EXPECT_NE(damaged.out.find("not a writing history"), std::string::npos) << damaged.out;
  EXPECT_TRUE(std::filesystem::exists(folder_.Path("desk/小说数据/写作记录.json"))) << "left alone";
  EXPECT_EQ(RunTool({"history", folder_.Native("elsewhere")}).status, 2);
}

TEST_F(Tool, VersionsListsTheChapterHistoryAndWritesAVersionOut) {
  std::filesystem::create_directories(folder_.Path("desk/小说数据"));
  {
    chapter_history::OpenReport report;
    auto store = chapter_history::VersionStore::Open(
        platform::GbkPathOf(folder_.Path("desk/小说数据/章节历史.dat")), &report);
    ASSERT_NE(store, nullptr);
    const auto keep = [&](int32_t chapter, const char* name, const char* text, int64_t time) {
      ASSERT_TRUE(store->Keep(chapter, {runtime::Gbk(name), runtime::Gbk(text)}, time,
                              chapter_history::VersionReason::kLeft, 4));
    };
    keep(2, "第一章", "天地玄黄", 1765000000);
    keep(2, "第一章", "天地玄黄，宇宙洪荒", 1765000600);
    keep(5, "删掉的一章", "日月盈昃", 1765001200);
  }
  const std::u8string desk = folder_.Path("desk").u8string();
  const std::string folder(desk.begin(), desk.end());
  const ToolRun chapters = RunTool({"versions", folder});
  ASSERT_EQ(chapters.status, 0) << chapters.out;
  EXPECT_NE(chapters.out.find("{\"chapter\": 2, \"versions\": 2, "), std::string::npos)
      << chapters.out;
  EXPECT_NE(chapters.out.find("\"name\": \"删掉的一章\"}"), std::string::npos) << chapters.out;
  const ToolRun versions = RunTool({"versions", folder, "2"});
  ASSERT_EQ(versions.status, 0) << versions.out;
  EXPECT_NE(versions.out.find("{\"version\": 2, "), std::string::npos) << versions.out;
  const std::string out = folder_.Native("version.txt");
  const ToolRun written = RunTool({"versions", folder, "2", "--version", "1", "--out", out});
  ASSERT_EQ(written.status, 0) << written.out;
  std::ifstream in(folder_.Path("version.txt"), std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "天地玄黄");
  EXPECT_EQ(RunTool({"versions", folder, "2", "--version", "3", "--out", out}).status, 2);
  EXPECT_EQ(RunTool({"versions", folder, "7"}).status, 2);
  EXPECT_EQ(RunTool({"versions", folder_.Native("elsewhere")}).status, 2);
}

#ifdef TOOL_HAS_NOVEL_COMMANDS
std::string FileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

TEST_F(Tool, ImportAppendsANovelsChaptersAndExportWritesThemOut) {
  {
    std::ofstream(folder_.Path("novel.txt"), std::ios::binary)
        << runtime::Gbk("第三章 风起\r\n　　天色将晚。\r\n第四章 夜雨\r\n　　雨下了一整夜。\r\n");
    std::ofstream(folder_.Path("binary.txt"), std::ios::binary) << std::string("PK\0\0\x03\x04", 6);
  }
  const ToolRun refused = RunTool({"import", path_, folder_.Native("binary.txt")});
  EXPECT_EQ(refused.status, 2) << refused.out;
  const ToolRun imported = RunTool({"import", path_, folder_.Native("novel.txt")});
  ASSERT_EQ(imported.status, 0) << imported.out;
  EXPECT_EQ(imported.out, "2 chapters imported (GBK/GB18030)\n");
  // Chapters 2 to 4 of the live ones (the deleted record is no chapter): a/b and the two new.
  const ToolRun text = RunTool({"export", path_, "--format", "txt", "--out",
                                folder_.Native("out.txt"), "--lf", "--from", "2", "--to", "4"});
  ASSERT_EQ(text.status, 0) << text.out;
  const std::string written = FileBytes(folder_.Path("out.txt"));
  EXPECT_EQ(written.find("第一章"), std::string::npos) << written;
  for (const char* part :
       {"a/b\n", "第三章 风起\n\n天色将晚。\n", "第四章 夜雨\n\n雨下了一整夜。\n"}) {
    EXPECT_NE(written.find(part), std::string::npos) << part << " in " << written;
  }
  const ToolRun book = RunTool({"export", path_, "--format", "epub", "--out",
                                folder_.Native("book.epub"), "--title", "测试"});
  ASSERT_EQ(book.status, 0) << book.out;
  EXPECT_TRUE(FileBytes(folder_.Path("book.epub")).starts_with(std::string("PK\x03\x04", 4)));
  const ToolRun files =
      RunTool({"export", path_, "--format", "txt-files", "--out", folder_.Native("chapters")});
  ASSERT_EQ(files.status, 0) << files.out;
  EXPECT_TRUE(std::filesystem::exists(folder_.Path("chapters") /
                                      std::filesystem::u8path("0004 第四章 夜雨.txt")));
}
#endif

}  // namespace
}  // namespace database::testing
