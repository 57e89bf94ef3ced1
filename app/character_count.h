#pragma once

#include <cstdint>
#include <string_view>

namespace app {

// The characters of a chapter text (GBK) as the count shows them: ASCII spaces are not
// counted, nor a carriage return followed by a line feed (spaces between the two do not
// part them, as the spaces go first); every other ASCII byte is one, and a byte of 0x80 or
// above is one together with the byte after it. A lead byte that ends the text alone is
// not counted. One pass over the text.
int64_t CountCharacters(std::string_view gbk);

// The platforms' counts of a chapter text (GBK), as publishing::CountForPlatforms counts its
// Unicode text; each adds up over lines, as the box's line sums need.
int64_t CountChineseCharacters(std::string_view gbk);
int64_t CountCharactersWithoutBlanks(std::string_view gbk);
int64_t CountCharactersWithoutPunctuation(std::string_view gbk);

}  // namespace app
