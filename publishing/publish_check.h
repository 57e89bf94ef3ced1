#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The check before a chapter is copied out for publishing. It only warns: the author may copy
// the chapter whatever it finds.

namespace publishing {

struct PublishCheckSettings {
  int64_t minimum_characters = 0;  // 0 (or less): no length check
  std::vector<std::u16string> avoid_words;
};

struct TextSpan {
  size_t start;   // UTF-16 offset
  size_t length;  // UTF-16 code units
};

struct PublishWarnings {
  struct Repeated {
    std::u16string paragraph;  // trimmed of blanks
    int32_t times;             // 2 or more
  };
  struct AvoidWord {
    std::u16string word;
    int32_t times;  // 1 or more
  };

  int64_t characters = 0;                     // the length the check was given, for the message
  bool too_short = false;                     // characters < the minimum
  std::vector<Repeated> repeated_paragraphs;  // in order of first occurrence
  int32_t half_width_punctuation = 0;
  std::vector<AvoidWord> avoid_words;  // in the order of the settings' list

  bool Any() const;
};

// The warnings for a chapter, `characters` long by the count the desk shows.
//  - too_short: minimum_characters > 0 and characters < minimum_characters.
//  - repeated_paragraphs: lines (as ForEachLine splits them) that, trimmed of blanks, are at
//    least 6 code points long and occur verbatim more than once.
//  - half_width_punctuation: the ASCII , . ? ! : ; right before or right after an ideograph
//    (IsIdeograph), each mark counted once; what the layout leaves half-width ("3.5元") is not
//    counted unless it touches an ideograph.
//  - avoid_words: each word of the list found at least once, with how many times: occurrences
//    of one word do not overlap (in "哈哈哈" the word "哈哈" occurs once), those of different
//    words may ("某词" and "词" are both found in "某词"). Empty and repeated words are skipped.
// Linear in the text's length for a given list.
PublishWarnings CheckForPublishing(std::u16string_view laid_out_text, int64_t characters,
                                   const PublishCheckSettings& settings);

// Where the words occur in `text`, for highlighting: every occurrence of every non-empty word,
// sorted by start, occurrences that overlap merged into one span (spans that only touch stay
// apart).
std::vector<TextSpan> FindAvoidWords(std::u16string_view text,
                                     const std::vector<std::u16string>& words);

// The warnings as sentences for a message box, one a line ("\n" between, none at the end), in
// the order of the struct; "" when there are none. At most three repeated paragraphs are quoted,
// each by its first 20 characters (then "……" when it is longer).
std::u16string DescribeWarnings(const PublishWarnings& warnings, int64_t minimum_characters);

}  // namespace publishing
