#pragma once

#include <QString>
#include <cstdint>
#include <vector>

namespace gui {

// Typed characters travel in character messages as their GBK code: one byte for ASCII,
// lead byte << 8 | trail byte for a two-byte character, and the four GB18030 bytes, first
// byte highest, for a character outside GBK.
std::vector<uint32_t> GbkCharCodes(const QString& text);
QString TextOfGbkCharCode(uint64_t code);

}  // namespace gui
