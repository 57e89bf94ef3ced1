#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The classes of characters that the layout, the platforms' counts and the publishing check
// agree on. Every function takes a code point; a lone surrogate is passed as its own value and
// belongs to no class.

namespace publishing {

// ASCII space and tab, U+3000, U+00A0, U+2000–U+200A, U+202F, U+205F, U+FEFF. A line of these
// only is an empty line, and they are trimmed from both ends of a paragraph.
bool IsBlank(char32_t c);

// "\n", "\r", U+2028, U+2029 ("\r\n" is one break: see SplitLines).
bool IsLineBreak(char32_t c);

// A Chinese character: CJK ideographs U+3400–U+4DBF, U+4E00–U+9FFF, U+F900–U+FAFF,
// U+20000–U+3FFFF, and "〇" (U+3007), the zero of Chinese numerals.
bool IsIdeograph(char32_t c);

// Marks that only Chinese text uses or that a Chinese text is set with: CJK symbols and
// punctuation U+3001–U+303F (but "〇"), the full-width forms' punctuation, “ ” ‘ ’, "…", "—",
// "·", and the vertical and compatibility forms U+FE10–U+FE1F, U+FE30–U+FE4F.
bool IsChinesePunctuation(char32_t c);

// What the platforms leave out of a count "without punctuation": every printable ASCII
// character that is not a letter or a digit (symbols such as + = $ included, as the full-width
// forms' ranges include ＋ ＝ ＄), ¡ § « ¶ · » ¿, U+2010–U+2027, U+2030–U+205E,
// U+3001–U+303F (but "〇"), U+FE10–U+FE1F, U+FE30–U+FE6F and the full-width forms
// U+FF01–U+FF0F, U+FF1A–U+FF20, U+FF3B–U+FF40, U+FF5B–U+FF65.
bool IsPunctuation(char32_t c);

// Characters that are not counted at all, because they show nothing by themselves or change the
// character before them: C0 and C1 controls (tab, "\n" and "\r" are blanks and breaks anyway),
// combining marks U+0300–U+036F and U+20D0–U+20FF (the keycap of 1️⃣), U+FE20–U+FE2F,
// zero-width space, non-joiner and joiner U+200B–U+200D, U+2060–U+2064, variation selectors
// U+FE00–U+FE0F and U+E0100–U+E01EF, tags U+E0000–U+E007F, emoji skin tones U+1F3FB–U+1F3FF.
bool IsUncounted(char32_t c);

inline bool IsAsciiAlphanumeric(char32_t c) {
  return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// The code point at `text[i]` (i < size) and, in `*units`, how many code units it takes: 2 for a
// surrogate pair, else 1 (a lone surrogate is returned as itself).
char32_t CodePointAt(std::u16string_view text, size_t i, size_t* units);

// Appends `c` in UTF-16; a value below U+10000 (a lone surrogate too) as one unit.
void AppendCodePoint(std::u16string& out, char32_t c);

// The number of code points, a lone surrogate counting as one.
size_t CountCodePoints(std::u16string_view text);

// `text` without blanks at either end.
std::u16string_view TrimBlanks(std::u16string_view text);

}  // namespace publishing
