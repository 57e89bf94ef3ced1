#pragma once

#include <cstdint>
#include <string_view>

// A chapter's length the ways the publishing platforms count it, for the desk to show beside
// its own count. A character is a code point: a surrogate pair is one character, and so is a
// lone surrogate. Characters that show nothing by themselves or change the one before them
// (IsUncounted in character_classes.h: variation selectors, zero-width joiners, combining marks,
// skin tones, controls) are not counted at all, so an emoji counts once with or without its
// selector, and a family joined with U+200D counts once per person in it.

namespace publishing {

struct PlatformCounts {
  int64_t chinese = 0;              // ideographs (IsIdeograph), "〇" included
  int64_t without_blanks = 0;       // every counted character but blanks and line breaks
  int64_t without_punctuation = 0;  // as without_blanks, less punctuation (IsPunctuation)
};

PlatformCounts CountForPlatforms(std::u16string_view text);

}  // namespace publishing
