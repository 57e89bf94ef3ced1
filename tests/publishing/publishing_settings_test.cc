// The settings file: what the desk writes reads back the same, and a file from a later desk or
// edited by hand never stops this one (what does not read keeps its default).
#include "publishing/publishing_settings.h"

#include <gtest/gtest.h>

namespace publishing {
namespace {

TEST(PublishingSettings, WhatIsWrittenReadsBackTheSame) {
  PublishingSettings settings;
  settings.typesetting = {.indent = false,
                          .blank_lines = BlankLines::kOneBetweenParagraphs,
                          .full_width_punctuation = false,
                          .ellipsis = true,
                          .dash = false};
  settings.count_rule = CountRule::kWithoutPunctuation;
  settings.minimum_characters = 2500;
  settings.name_as_first_line = false;
  const PublishingSettings read = ParsePublishingSettings(FormatPublishingSettings(settings));
  EXPECT_EQ(FormatPublishingSettings(read), FormatPublishingSettings(settings));
  EXPECT_EQ(read.count_rule, CountRule::kWithoutPunctuation);
  EXPECT_EQ(read.minimum_characters, 2500);
  EXPECT_EQ(read.typesetting.blank_lines, BlankLines::kOneBetweenParagraphs);
}

TEST(PublishingSettings, WhatDoesNotReadKeepsItsDefault) {
  const PublishingSettings defaults;
  const struct {
    const char* file;
    const char* why;
  } cases[] = {
      {"", "empty"},
      {"indent=yes\nminimum-characters=-5\ncount-rule=words\n", "values that do not read"},
      {"minimum-characters=12abc\nminimum-characters=999999999999\n",
       "a number with more, too large"},
      {"colour=red\n=1\nno equals sign\n", "unknown keys and lines"},
  };
  for (const auto& [file, why] : cases) {
    EXPECT_EQ(FormatPublishingSettings(ParsePublishingSettings(file)),
              FormatPublishingSettings(defaults))
        << why;
  }
  // Hand-edited: a byte-order mark, spaces, CR LF.
  const PublishingSettings edited = ParsePublishingSettings(
      "\xEF\xBB\xBF indent = 0 \r\nblank-lines=one-between\r\ncount-rule= chinese\r\n");
  EXPECT_FALSE(edited.typesetting.indent);
  EXPECT_EQ(edited.typesetting.blank_lines, BlankLines::kOneBetweenParagraphs);
  EXPECT_EQ(edited.count_rule, CountRule::kChinese);
}

}  // namespace
}  // namespace publishing
