// The one-pass character count against the count as the text commands compute it (spaces
// removed, CR LF pairs removed, then a walk that counts a byte of 0x80 and up together with
// the next one), on the texts of the examples and on many random texts.
#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "app/character_count.h"
#include "app/writing_desk.h"
#include "commands/gbk_text.h"
#include "platform/core/code_page.h"

namespace {

int64_t CountByTheTextCommands(std::string_view text) {
  std::string t = commands::SubstituteText(text, {.find = " ", .replacement = ""});
  t = commands::SubstituteText(t, {.find = "\r\n", .replacement = ""});
  int64_t n = 0;
  for (int32_t i = 1; i <= static_cast<int32_t>(t.size());) {
    if (commands::CharCode(commands::MidText(t, i, 1), 1) < 0) ++i;
    ++i;
    ++n;
  }
  return n;
}

TEST(CharacterCount, CountsAsTheExamplesSay) {
  const struct {
    const char* utf8;
    int64_t count;
  } cases[] = {
      {"ab\r\n小说", 4}, {"     ", 0}, {"　", 1}, {"\t", 1}, {"a\nb", 3}, {"a\rb", 3},
      {"\r\r\n", 1},     {"\r \n", 0}, {"", 0},  {"第一章 风起", 5},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(app::CountCharacters(platform::Utf8ToGbk(c.utf8)), c.count) << c.utf8;
    EXPECT_EQ(CountByTheTextCommands(platform::Utf8ToGbk(c.utf8)), c.count) << c.utf8;
  }
}

TEST(CharacterCount, AgreesWithTheTextCommandsOnRandomTexts) {
  // Pieces that meet at every kind of boundary: blanks, both line breaks, GBK and GB18030
  // four-byte characters, and bytes that no well-formed text holds (a lead byte before a
  // space or a line feed, a lone lead byte at the end).
  const std::vector<std::string> pieces = {" ", "\r", "\n", "\r\n", "a", "\t", "\xD0\xA1", "\xA1\xA1",
                                           "\x81\x30\x81\x30", "\x81", "\x81 ", "\xFE\n", "\x7F"};
  std::mt19937 random(12);
  for (int round = 0; round < 20000; ++round) {
    std::string text;
    const int length = static_cast<int>(random() % 12);
    for (int i = 0; i < length; ++i) text += pieces[random() % pieces.size()];
    ASSERT_EQ(app::CountCharacters(text), CountByTheTextCommands(text)) << testing::PrintToString(text);
  }
}

TEST(RoutineTable, NamesTheRoutinesInTheOrderTheFormCompilerReadsThem) {
  std::vector<std::string> listed;
  std::ifstream in(ROUTINES_FILE);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line[0] != '#') listed.push_back(line);
  }
  EXPECT_EQ(listed, app::RoutineNames());
}

}  // namespace
