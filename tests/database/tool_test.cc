// The database tool, run as a program on files the engine wrote.

#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "runtime/owned_blocks.h"
#include "tests/database/database_test_support.h"

namespace database::testing {
namespace {

struct ToolRun {
  int status;
  std::string out;
};

ToolRun RunTool(const std::string& arguments) {
  const std::string command = std::string(TOOL_PATH) + " " + arguments + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  std::string out;
  char buffer[4096];
  for (size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  const int status = pclose(pipe);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out};
}

std::string Quote(const std::string& text) { return "'" + text + "'"; }

class Tool : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = folder_.Native("data.edb");
    ASSERT_EQ(RunTool("create " + Quote(path_) + " 姓名:memo 学号:byteset").status, 0);
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
  const ToolRun help = RunTool("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("check <file>"), std::string::npos);
  EXPECT_EQ(RunTool("create " + Quote(path_) + " 姓名:memo").status, 2) << "never overwrites";
  EXPECT_EQ(RunTool("create " + Quote(folder_.Native("x.edb")) + " a:text").status, 2);
  EXPECT_EQ(RunTool("frobnicate").status, 2);
}

TEST_F(Tool, DumpWritesOneJsonObjectPerRecord) {
  const ToolRun dump = RunTool("dump " + Quote(path_));
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
  EXPECT_EQ(RunTool("check " + Quote(path_)).status, 0);
  // A leaked block: in no chain and not free.
  std::vector<uint8_t> memo = ReadWholeFile(folder_.Native("data.edt"));
  const size_t blocks = memo.size() / 512;
  memo.resize(memo.size() + 512, 0);
  PutWord(memo, 16, static_cast<int32_t>(blocks + 1));
  WriteWholeFile(folder_.Native("data.edt"), memo);
  ToolRun check = RunTool("check " + Quote(path_));
  EXPECT_EQ(check.status, 0) << "a leak is no fault";
  EXPECT_NE(check.out.find("1 leaked"), std::string::npos) << check.out;
  EXPECT_EQ(RunTool("check --repair " + Quote(path_)).status, 0);
  check = RunTool("check " + Quote(path_));
  EXPECT_NE(check.out.find("0 leaked"), std::string::npos) << check.out;

  // Two records sharing a chain is a fault.
  std::vector<uint8_t> main = ReadWholeFile(path_);
  PutWord(main, 260 + 12 + 4, Word(main, 260 + 4));
  WriteWholeFile(path_, main);
  check = RunTool("check " + Quote(path_));
  EXPECT_EQ(check.status, 1);
  EXPECT_NE(check.out.find("FAULT"), std::string::npos);
}

TEST_F(Tool, ExportWritesEveryLiveChapterAsUtf8) {
  const ToolRun run = RunTool("export " + Quote(path_) + " " + Quote(folder_.Native("out")));
  ASSERT_EQ(run.status, 0) << run.out;
  std::ifstream first(folder_.Native("out/第一章.txt"));
  std::string text((std::istreambuf_iterator<char>(first)), {});
  EXPECT_EQ(text, "天地玄黄");
  EXPECT_FALSE(std::filesystem::exists(folder_.Native("out/第二章.txt"))) << "deleted";
  EXPECT_TRUE(std::filesystem::exists(folder_.Native("out/a_b.txt")));
}

}  // namespace
}  // namespace database::testing
