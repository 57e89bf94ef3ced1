#include "novel_export/txt_export.h"

#include <gtest/gtest.h>

#include <vector>

namespace novel_export {
namespace {

QString Q(const char* utf8) { return QString::fromUtf8(utf8); }

// A chapter with an indented paragraph, a blank line, a paragraph indented with ASCII spaces,
// Windows line breaks and an old Mac one; an empty chapter; a chapter with blank lines around
// its text and blanks around its name.
const ExportChapter kChapters[] = {
    {Q("第一章 风起"), Q("　　天色将晚。\r\n\n  他走了。\n")},
    {Q("第二章 夜"), Q("")},
    {Q("  第三章 雨 "), Q("\n \n雨下了。\r停了。\n\n\n")},
};

TEST(NovelAsTxt, LinesOfEachOptionAreWrittenExactly) {
  using Encoding = TxtOptions::Encoding;
  const struct {
    TxtOptions options;
    const char* text;
  } cases[] = {
      {{},
       "第一章 风起\r\n\r\n　　天色将晚。\r\n\r\n  他走了。\r\n\r\n"
       "第二章 夜\r\n\r\n"
       "第三章 雨\r\n\r\n雨下了。\r\n停了。\r\n"},
      {{.crlf = false},
       "第一章 风起\n\n　　天色将晚。\n\n  他走了。\n\n"
       "第二章 夜\n\n"
       "第三章 雨\n\n雨下了。\n停了。\n"},
      // Without headings the empty chapter leaves nothing, not a second blank line.
      {{.crlf = false, .headings = false}, "　　天色将晚。\n\n  他走了。\n\n雨下了。\n停了。\n"},
      // Every paragraph gets two U+3000 in place of its own blanks; blank lines stay empty.
      {{.crlf = false, .indent = true},
       "第一章 风起\n\n　　天色将晚。\n\n　　他走了。\n\n"
       "第二章 夜\n\n"
       "第三章 雨\n\n　　雨下了。\n　　停了。\n"},
      {{.encoding = Encoding::kUtf8Bom, .crlf = false, .headings = false},
       "\xEF\xBB\xBF　　天色将晚。\n\n  他走了。\n\n雨下了。\n停了。\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NovelAsTxt(kChapters, c.options), QByteArray(c.text)) << c.text;
  }
  EXPECT_EQ(NovelAsTxt({}, {}), QByteArray());
}

TEST(NovelAsTxt, GbkKeepsWhatGbkLacksAsFourByteSequences) {
  const ExportChapter chapters[] = {{Q("风起"), Q("天😀\n")}};
  EXPECT_EQ(NovelAsTxt(chapters, {.encoding = TxtOptions::Encoding::kGbk}),
            QByteArray("\xB7\xE7\xC6\xF0\r\n\r\n\xCC\xEC\x94\x39\xFC\x36\r\n"));
  // "€" is the lone byte 0x80, as Windows' code page 936 has it.
  const ExportChapter euro[] = {{QString(), Q("5€")}};
  EXPECT_EQ(NovelAsTxt(euro, {.encoding = TxtOptions::Encoding::kGbk, .crlf = false}),
            QByteArray("5\x80\n"));
}

TEST(ChaptersAsTxtFiles, EachChapterIsItsBlockAloneInANumberedFile) {
  const std::vector<NamedFile> files =
      ChaptersAsTxtFiles(kChapters, {.encoding = TxtOptions::Encoding::kUtf8Bom, .crlf = false});
  ASSERT_EQ(files.size(), 3u);
  const struct {
    const char* name;
    const char* bytes;
  } expected[] = {
      {"0001 第一章 风起.txt", "\xEF\xBB\xBF第一章 风起\n\n　　天色将晚。\n\n  他走了。\n"},
      {"0002 第二章 夜.txt", "\xEF\xBB\xBF第二章 夜\n"},
      {"0003 第三章 雨.txt", "\xEF\xBB\xBF第三章 雨\n\n雨下了。\n停了。\n"},
  };
  for (size_t i = 0; i < files.size(); ++i) {
    EXPECT_EQ(files[i].name, Q(expected[i].name));
    EXPECT_EQ(files[i].bytes, QByteArray(expected[i].bytes));
  }
}

}  // namespace
}  // namespace novel_export
