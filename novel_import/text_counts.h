#pragma once

#include <QStringView>
#include <cstdint>

// The counts the import preview shows for each chapter and for the whole novel.

namespace novel_import {

// The characters of `text` as the author counts them: code points (a surrogate pair is one),
// without blanks (spaces, tabs, U+3000 …) and line breaks.
int64_t CharacterCount(QStringView text);

// How many characters of `text` GBK (code page 936, one or two bytes a character) has no code
// for: a rare name character, an emoji, anything beyond U+FFFF. The desk's chapters are GBK
// extended to GB18030, which stores each of them as a four-byte sequence that programs reading
// GBK alone cannot show. A lone surrogate counts too (it cannot be stored at all). "€" is held,
// as the byte 0x80 of code page 936; so are the few characters GB18030 gives two bytes where
// GBK had a private-use code (䶮 U+4DAE): they cost nothing more.
int64_t OutsideGbk(QStringView text);

}  // namespace novel_import
