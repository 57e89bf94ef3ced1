#include "novel_import/encoding.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "tests/novel_import/novel_files.h"

namespace novel_import {
namespace {

using test_files::Gbk;
using test_files::Utf16;
using test_files::Utf8;

constexpr char16_t kNovel[] =
    u"第一千二百三十四章 风起\n\u3000\u3000李云飞推开门，雨还在下。\n第一千二百三十五章 夜雨\n"
    u"\u3000\u3000“谁？”\n";

// An English text with a few broken bytes spread through it, `broken` of them.
std::string WithBrokenBytes(std::string text, int broken) {
  for (int i = 0; i < broken; ++i) text[text.size() * (i + 1) / (broken + 1)] = '\xFF';
  return text;
}

struct DetectCase {
  const char* what;
  std::string bytes;
  std::optional<Encoding> encoding;
  const char* refusal;  // a piece of the reason, for a refused file
  bool forcible;
};

TEST(DetectEncoding, TellsEachEncodingAndRefusesWhatIsNotText) {
  const std::string utf8 = Utf8(kNovel);
  const std::string gbk = Gbk(kNovel);
  const std::string english(30000, 'a');
  const DetectCase cases[] = {
      {"UTF-8", utf8, Encoding::kUtf8, "", false},
      {"ASCII", "Chapter 1\nIt rained.\n", Encoding::kUtf8, "", false},
      {"UTF-8 with its mark", "\xEF\xBB\xBF" + utf8, Encoding::kUtf8Bom, "", false},
      {"UTF-16 LE", Utf16(kNovel, false), Encoding::kUtf16Le, "", false},
      {"UTF-16 BE", Utf16(kNovel, true), Encoding::kUtf16Be, "", false},
      {"GBK", gbk, Encoding::kGb18030, "", false},
      {"GB18030 beyond GBK", Gbk(u"第一章 \U00020000😀\n"), Encoding::kGb18030, "", false},
      {"GBK with code page 936's euro", gbk + "\x80", Encoding::kGb18030, "", false},
      {"UTF-8 cut inside its last character", utf8 + "\xE4\xB8", Encoding::kUtf8, "", false},
      {"GBK cut after a lead byte", gbk + "\xD6", Encoding::kGb18030, "", false},
      {"GB18030 cut inside a four-byte character", gbk + "\x81\x30\x81", Encoding::kGb18030, "",
       false},
      {"UTF-8 with a few broken bytes", WithBrokenBytes(utf8 + english, 3), Encoding::kUtf8, "",
       false},
      {"GBK with a few broken bytes", WithBrokenBytes(gbk + english, 3), Encoding::kGb18030, "",
       false},
      {"empty", "", std::nullopt, "文件是空的", false},
      {"a UTF-8 mark alone", "\xEF\xBB\xBF", std::nullopt, "文件是空的", false},
      {"a UTF-16 mark alone", "\xFF\xFE", std::nullopt, "文件是空的", false},
      {"a picture", std::string("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR\0\0\x01\0", 20), std::nullopt,
       "NUL", false},
      {"UTF-16 with its mark holding U+0000", Utf16(std::u16string(u"第一章\0风", 5), false),
       std::nullopt, "NUL", false},
      {"UTF-16 LE without its mark", Utf16(kNovel, false, false), std::nullopt,
       "没有 BOM 的 UTF-16", true},
      {"UTF-16 BE without its mark", Utf16(kNovel, true, false), std::nullopt, "没有 BOM 的 UTF-16",
       true},
      {"bytes that are neither", std::string(100, '\xFF'), std::nullopt, "无法识别文件的编码",
       true},
      {"more broken bytes than a few", WithBrokenBytes(english, 9), std::nullopt,
       "无法识别文件的编码", true},
  };
  for (const DetectCase& c : cases) {
    const Detection detection = DetectEncoding(c.bytes);
    EXPECT_EQ(detection.encoding, c.encoding) << c.what;
    EXPECT_TRUE(detection.refusal.contains(QString::fromUtf8(c.refusal))) << c.what;
    EXPECT_EQ(detection.refusal.isEmpty(), c.encoding.has_value()) << c.what;
    EXPECT_EQ(detection.forcible, c.forcible) << c.what;
  }
}

struct DecodeCase {
  const char* what;
  std::string bytes;
  Encoding encoding;
  const char16_t* text;
  int64_t undecodable;
};

TEST(Decode, ReplacesEachUndecodableSequenceOnceAndCountsIt) {
  const DecodeCase cases[] = {
      {"line breaks of every kind", "a\r\nb\rc\n\r\nd", Encoding::kUtf8, u"a\nb\nc\n\nd", 0},
      {"the UTF-8 mark",
       "\xEF\xBB\xBF"
       "a",
       Encoding::kUtf8Bom, u"a", 0},
      {"the UTF-8 mark read as UTF-8",
       "\xEF\xBB\xBF"
       "a",
       Encoding::kUtf8, u"a", 0},
      {"a cut-off last character", "\xE4\xB8\xAD\xE6\x96", Encoding::kUtf8, u"中\uFFFD", 1},
      {"a broken lead and a stray continuation",
       "a\xC0\xAF"
       "b",
       Encoding::kUtf8, u"a\uFFFD\uFFFDb", 2},
      {"a sequence broken by ASCII keeps the ASCII",
       "a\xE4\xB8"
       "b",
       Encoding::kUtf8, u"a\uFFFDb", 1},
      {"an encoded surrogate", "\xED\xA0\x80", Encoding::kUtf8, u"\uFFFD\uFFFD\uFFFD", 3},
      {"four bytes past U+10FFFF", "\xF4\x90\x80\x80", Encoding::kUtf8, u"\uFFFD\uFFFD\uFFFD\uFFFD",
       4},
      {"a character beyond U+FFFF", "\xF0\x9F\x98\x80", Encoding::kUtf8, u"😀", 0},
      {"UTF-16 LE", Utf16(u"风😀\r\n", false), Encoding::kUtf16Le, u"风😀\n", 0},
      {"UTF-16 BE", Utf16(u"风😀\r\n", true), Encoding::kUtf16Be, u"风😀\n", 0},
      {"UTF-16 without its mark", Utf16(u"风", false, false), Encoding::kUtf16Le, u"风", 0},
      {"lone surrogates",
       Utf16(u"a\xD800"
             u"b\xDC00",
             false),
       Encoding::kUtf16Le, u"a\uFFFDb\uFFFD", 2},
      {"an odd last byte", Utf16(u"a", true) + "\x4E", Encoding::kUtf16Be, u"a\uFFFD", 1},
      {"GBK", Gbk(u"第一千二百三十四章\r\n"), Encoding::kGb18030, u"第一千二百三十四章\n", 0},
      {"GB18030's four-byte characters", Gbk(u"\U00020000㐀😀"), Encoding::kGb18030,
       u"\U00020000㐀😀", 0},
      {"code page 936's euro",
       "a\x80"
       "b",
       Encoding::kGb18030, u"a€b", 0},
      {"a byte no character starts with",
       "a\xFF"
       "b",
       Encoding::kGb18030, u"a\uFFFDb", 1},
      {"a lead byte before a blank keeps the blank", "\xD6 a", Encoding::kGb18030, u"\uFFFD a", 1},
      {"a cut-off lead byte", "a\xD6", Encoding::kGb18030, u"a\uFFFD", 1},
      {"a cut-off four-byte character", "a\x81\x30\x81", Encoding::kGb18030, u"a\uFFFD", 1},
      {"GBK read as UTF-8", Gbk(u"风起"), Encoding::kUtf8, u"\uFFFD\uFFFD\uFFFD\uFFFD", 4},
      {"empty", "", Encoding::kGb18030, u"", 0},
  };
  for (const DecodeCase& c : cases) {
    int64_t undecodable = -1;
    EXPECT_EQ(Decode(c.bytes, c.encoding, &undecodable), QString::fromUtf16(c.text)) << c.what;
    EXPECT_EQ(undecodable, c.undecodable) << c.what;
  }
}

// The converter is handed the bytes a window at a time: a character cut by a window's end must
// still be read whole, wherever the cut falls. Random bytes read as the desk's own converter
// reads them (it treats bad sequences alike), past several windows.
TEST(Decode, Gb18030ReadsAsTheDesksConverterAcrossItsWindows) {
  std::mt19937 random(7);
  std::u16string text;
  const std::u16string_view pieces[] = {u"风", u"a", u"\U00020000", u"㐀", u"€", u"\n"};
  while (text.size() < 300000) text += pieces[random() % std::size(pieces)];
  const std::string gbk = Gbk(text);
  int64_t undecodable = -1;
  EXPECT_EQ(Decode(gbk, Encoding::kGb18030, &undecodable), QString::fromStdU16String(text));
  EXPECT_EQ(undecodable, 0);

  std::string noise;
  while (noise.size() < 300000) {
    const auto byte = static_cast<char>(random() % 256);
    if (byte != '\r') noise += byte;
  }
  noise += '\n';  // no character cut off at the end, which the two read differently
  const QString expected = QString::fromStdU16String(platform::GbkToUtf16(noise));
  EXPECT_EQ(Decode(noise, Encoding::kGb18030, &undecodable), expected);
  EXPECT_EQ(undecodable, expected.count(QChar(0xFFFD)));
}

// Whatever the bytes, each reader stays within the room Decode gives it (one unit a byte) and
// ends with its text whole; the sanitizer build watches the writes.
TEST(Decode, ReadsNoiseInEveryEncoding) {
  std::mt19937 random(3);
  for (int round = 0; round < 50; ++round) {
    std::string noise(random() % 64, '\0');
    for (char& byte : noise) byte = static_cast<char>(random() % 256);
    for (const Encoding encoding : kEncodings) {
      int64_t undecodable = 0;
      const QString text = Decode(noise, encoding, &undecodable);
      EXPECT_LE(text.size(), static_cast<qsizetype>(noise.size()));
      EXPECT_LE(undecodable, static_cast<int64_t>(noise.size()));
    }
  }
}

TEST(Decode, Utf8ReadsEveryCharacterItCanHold) {
  std::mt19937 random(11);
  std::u16string text;
  const std::u16string_view pieces[] = {u"风", u"abcdefghij", u"é", u"😀", u"\u3000", u"\n"};
  while (text.size() < 100000) text += pieces[random() % std::size(pieces)];
  int64_t undecodable = -1;
  EXPECT_EQ(Decode(Utf8(text), Encoding::kUtf8, &undecodable), QString::fromStdU16String(text));
  EXPECT_EQ(undecodable, 0);
}

}  // namespace
}  // namespace novel_import
