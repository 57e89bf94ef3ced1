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

}  // namespace app
