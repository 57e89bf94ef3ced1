#include "platform/core/code_page.h"

#include <gtest/gtest.h>

#include <string>

namespace platform {
namespace {

struct RoundTrip {
  const char* what;
  std::string utf8;
  std::u16string utf16;
  std::string gbk;
};

TEST(CodePage, ConvertsBothWaysExactly) {
  const RoundTrip cases[] = {
      {"empty", "", u"", ""},
      {"ascii", "Chapter 1: \\ / ~", u"Chapter 1: \\ / ~", "Chapter 1: \\ / ~"},
      {"common Chinese", "第一章 中文", u"第一章 中文",
       "\xB5\xDA\xD2\xBB\xD5\xC2 \xD6\xD0\xCE\xC4"},
      {"trail byte 0x5C", "誠", u"誠", "\xD5\x5C"},
      {"euro is the lone 0x80", "€5", u"€5",
       "\x80"
       "5"},
      {"outside GBK: U+20000", "𠀀", u"𠀀", "\x95\x32\x82\x36"},
      {"outside GBK: emoji", "a😀b", u"a😀b",
       "a\x94\x39\xFC\x36"
       "b"},
      {"mixed", "林𠀀€x", u"林𠀀€x", "\xC1\xD6\x95\x32\x82\x36\x80x"},
  };
  for (const RoundTrip& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Utf8ToGbk(c.utf8), c.gbk);
    EXPECT_EQ(GbkToUtf8(c.gbk), c.utf8);
    EXPECT_EQ(Utf16ToGbk(c.utf16), c.gbk);
    EXPECT_EQ(GbkToUtf16(c.gbk), c.utf16);
  }
}

TEST(CodePage, EveryGbkCharacterRoundTrips) {
  int decoded = 0;
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      if (trail == 0x7F) continue;
      const std::string gbk = {static_cast<char>(lead), static_cast<char>(trail)};
      const std::u32string characters = GbkToUtf32(gbk);
      ASSERT_EQ(characters.size(), 1u) << std::hex << lead << " " << trail;
      if (characters[0] == 0xFFFD || characters[0] == 0x20AC) continue;
      ++decoded;
      ASSERT_EQ(Utf8ToGbk(GbkToUtf8(gbk)), gbk) << std::hex << lead << " " << trail;
      ASSERT_EQ(Utf16ToGbk(GbkToUtf16(gbk)), gbk) << std::hex << lead << " " << trail;
    }
  }
  EXPECT_GT(decoded, 21000);  // GBK holds 21886 characters
}

TEST(CodePage, EuroHasTwoSpellingsAndEncodesToTheSingleByte) {
  EXPECT_EQ(GbkToUtf8("\x80"), "€");
  EXPECT_EQ(GbkToUtf8("\xA2\xE3"), "€");
  EXPECT_EQ(Utf8ToGbk(GbkToUtf8("\xA2\xE3")), "\x80");
}

TEST(CodePage, UndecodableGbkBecomesReplacementCharacter) {
  const struct {
    const char* what;
    std::string gbk;
    std::string utf8;
  } cases[] = {
      {"truncated trailing lead byte", "ab\xD6", "ab\uFFFD"},
      {"lead byte alone", "\xD6", "\uFFFD"},
      {"0xFF",
       "a\xFF"
       "b",
       "a\uFFFD"
       "b"},
      {"lead byte before a control character", "\xD6\n", "\uFFFD\n"},
      {"truncated four-byte sequence", "\x81\x30",
       "\uFFFD"
       "0"},
      {"bad four-byte sequence, text goes on", "\x81\x30\xFF\x30\xD6\xD0", "\uFFFD0\uFFFD0中"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(GbkToUtf8(c.gbk), c.utf8);
  }
}

TEST(CodePage, InvalidUnicodeBecomesQuestionMark) {
  const struct {
    const char* what;
    std::string utf8;
    std::string gbk;
  } cases[] = {
      {"stray continuation byte",
       "a\x80"
       "b",
       "a?b"},
      {"invalid byte", "\xFF\xFE", "??"},
      {"truncated sequence at the end", "a\xE4\xB8", "a?"},
      {"truncated sequence before ASCII", "\xE4\xB8x", "?x"},
      {"overlong slash", "\xC0\xAF", "??"},
      {"encoded surrogate", "\xED\xA0\x80", "???"},
      {"past U+10FFFF", "\xF4\x90\x80\x80", "????"},
      {"valid text around", "中\xFF文", "\xD6\xD0?\xCE\xC4"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(Utf8ToGbk(c.utf8), c.gbk);
  }
  EXPECT_EQ(Utf16ToGbk(std::u16string{0xD800, u'a'}), "?a");
  EXPECT_EQ(Utf16ToGbk(std::u16string{u'中', 0xDC00}), "\xD6\xD0?");
  EXPECT_EQ(Utf16ToGbk(std::u16string{0xDC00, 0xD800}), "??");
}

}  // namespace
}  // namespace platform
