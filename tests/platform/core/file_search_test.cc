#include "platform/core/file_search.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "tests/platform/core/test_support.h"

namespace platform {
namespace {

using core_test::Gbk;
using core_test::TempFolder;

// UTF-8 names of everything the search returns, in order.
std::vector<std::string> Search(const std::string& gbk_pattern, bool* started = nullptr) {
  FileSearch search;
  const bool ok = search.Start(gbk_pattern);
  if (started != nullptr) *started = ok;
  std::vector<std::string> names;
  while (auto entry = search.Next()) names.push_back(GbkToUtf8(entry->name));
  return names;
}

using Listing = std::vector<std::pair<std::string, uint32_t>>;  // UTF-8 name, attributes

class FileSearchTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"第一章.txt", "第二章.TXT", "第十二章.txt", "a.txt", "ab.txt",
                             "notes.md", ".hidden", "README", "誠.txt"}) {
      std::ofstream(temp_.Native(name)) << "x";
    }
    std::filesystem::create_directory(temp_.Native("子目录"));
  }

  std::string Pattern(std::string_view utf8_mask) const { return temp_.GbkPath(utf8_mask); }

  TempFolder temp_;
};

TEST_F(FileSearchTest, MatchesMasks) {
  // Entries come in GBK byte order: ASCII first, then 第二 (B5DA B6FE) < 第十 (B5DA CAAE) <
  // 第一 (B5DA D2BB) < 誠 (D55C) < 子 (D7D3).
  const struct {
    const char* mask;
    std::vector<std::string> names;
  } cases[] = {
      {"*.txt", {"a.txt", "ab.txt", "第二章.TXT", "第十二章.txt", "第一章.txt", "誠.txt"}},
      {"?.txt", {"a.txt", "誠.txt"}},  // "?" is one whole character, 誠 is two bytes
      {"第?章.txt", {"第二章.TXT", "第一章.txt"}},
      {"第*章.*", {"第二章.TXT", "第十二章.txt", "第一章.txt"}},
      {"A*", {"a.txt", "ab.txt"}},
      {"*e*", {".hidden", "README", "notes.md"}},
      {"readme", {"README"}},
      {"*",
       {".hidden", "README", "a.txt", "ab.txt", "notes.md", "第二章.TXT", "第十二章.txt",
        "第一章.txt", "誠.txt", "子目录"}},
      {"*.*",
       {".hidden", "README", "a.txt", "ab.txt", "notes.md", "第二章.TXT", "第十二章.txt",
        "第一章.txt", "誠.txt", "子目录"}},
      {"*.t?t", {"a.txt", "ab.txt", "第二章.TXT", "第十二章.txt", "第一章.txt", "誠.txt"}},
      {"??", {}},
      {"*.txt?", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mask);
    bool started = false;
    EXPECT_EQ(Search(Pattern(c.mask), &started), c.names);
    EXPECT_EQ(started, !c.names.empty());
  }
}

TEST_F(FileSearchTest, ReportsAttributes) {
  std::filesystem::permissions(temp_.Native("notes.md"), std::filesystem::perms::owner_read |
                                                             std::filesystem::perms::group_read);
  FileSearch search;
  ASSERT_TRUE(search.Start(Pattern("*")));
  Listing seen;
  while (auto entry = search.Next()) seen.emplace_back(GbkToUtf8(entry->name), entry->attributes);
  const Listing expected = {
      {".hidden", kAttributeHidden},
      {"README", 0},
      {"a.txt", 0},
      {"ab.txt", 0},
      {"notes.md", kAttributeReadOnly},
      {"第二章.TXT", 0},
      {"第十二章.txt", 0},
      {"第一章.txt", 0},
      {"誠.txt", 0},
      {"子目录", kAttributeDirectory},
  };
  EXPECT_EQ(seen, expected);
}

TEST_F(FileSearchTest, MissingFolderAndRestart) {
  bool started = true;
  EXPECT_TRUE(Search(temp_.GbkPath("缺少\\*.txt"), &started).empty());
  EXPECT_FALSE(started);
  EXPECT_TRUE(Search(temp_.GbkPath("子目录\\*"), &started).empty());
  EXPECT_FALSE(started);

  FileSearch search;
  ASSERT_TRUE(search.Start(Pattern("*.md")));
  ASSERT_TRUE(search.Start(Pattern("README")));  // the new search replaces the old one
  EXPECT_EQ(search.Next()->name, "README");
  EXPECT_FALSE(search.Next().has_value());
  search.Close();
  EXPECT_FALSE(search.Next().has_value());
}

}  // namespace
}  // namespace platform
