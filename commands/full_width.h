#pragma once

#include <string>
#include <string_view>

// Full-width characters typed through a Chinese input method, made ASCII so that numbers and
// dates typed either way read the same. The text is walked character by character (a byte of
// 0x80 or more starts a two-byte character):
//   0xA3 t, 0xA1 <= t <= 0xFE   becomes the byte t - 0x80 (full-width digits, letters, signs)
//   0xA1 0xA1                   becomes a space
//   0xA1 0xAB                   becomes "~"
//   0xA1 0xEE, 0xA1 0xEF        become "*"
// Every other character is kept, including a lone lead byte at the end.

namespace commands {

std::string NormalizeFullWidth(std::string_view text);

// The same, with ASCII spaces and the spaces made from full-width ones dropped.
std::string NormalizeFullWidthDroppingSpaces(std::string_view text);

}  // namespace commands
