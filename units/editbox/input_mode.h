#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace units {

// The edit box's input modes: which typed characters a mode lets through, and what the
// text becomes when the box loses the focus.
namespace input_mode {
inline constexpr int32_t kNormal = 0;
inline constexpr int32_t kReadOnly = 1;
inline constexpr int32_t kPassword = 2;
inline constexpr int32_t kIntegerText = 3;
inline constexpr int32_t kDecimalText = 4;
inline constexpr int32_t kByte = 5;
inline constexpr int32_t kShort = 6;
inline constexpr int32_t kInteger = 7;
inline constexpr int32_t kLong = 8;
inline constexpr int32_t kSingle = 9;
inline constexpr int32_t kDouble = 10;
inline constexpr int32_t kDateTime = 11;
inline constexpr int32_t kLast = kDateTime;
}  // namespace input_mode

// Whether a typed character (its GBK code, as character messages carry it) reaches the
// control in `mode`. Control characters (below 32) always pass, so editing keys work.
bool AcceptsTypedCharacter(int32_t mode, uint64_t code);

// The text the box shows after losing the focus in `mode` (GBK in, GBK out). Modes without
// a normalisation give the text unchanged. In the numeric modes a result of 0 is an empty
// box, so that an empty field stays empty.
std::string NormalizeForMode(int32_t mode, std::string_view gbk);

// The integer a text starts with: white space, an optional sign, decimal digits, saturated
// to the 64-bit range; 0 when there is none. Full-width digits count as digits.
int64_t LeadingInteger(std::string_view gbk);

}  // namespace units
