#pragma once

#include <cstdint>

#include "runtime/arg_cell.h"

// The text commands of the core library, with the uniform command signature. Texts are GBK;
// positions are 1-based and count bytes. An empty text result is null; any other result is a
// new block that the caller owns. Out-of-range positions and counts give the empty text or 0,
// never an error.

namespace commands {

// SpaceText(count): `count` ASCII spaces; empty below 1.
void SpaceText(runtime::ArgCell* result, int32_t count, const runtime::ArgCell* args);

// SubstituteText(text, find, optional replacement, optional start, optional count,
// case-sensitive): see commands::SubstituteText. A left-out case flag counts as true.
void SubstituteText(runtime::ArgCell* result, int32_t count, const runtime::ArgCell* args);

// TextLength(text): the number of bytes.
void TextLength(runtime::ArgCell* result, int32_t count, const runtime::ArgCell* args);

// MidText(text, start, length).
void MidText(runtime::ArgCell* result, int32_t count, const runtime::ArgCell* args);

// CharCode(text, optional position = 1): the byte there, sign-extended.
void CharCode(runtime::ArgCell* result, int32_t count, const runtime::ArgCell* args);

// TrimLeadingSpaces(text).
void TrimLeadingSpaces(runtime::ArgCell* result, int32_t count, const runtime::ArgCell* args);

// ConcatTexts(text, text, ...): always a new block, even when it is empty. A null operand
// counts as the empty text.
void ConcatTexts(runtime::ArgCell* result, int32_t count, const runtime::ArgCell* args);

// CompareTexts(a, b): -1, 0 or 1, comparing unsigned bytes; null counts as the empty text.
void CompareTexts(runtime::ArgCell* result, int32_t count, const runtime::ArgCell* args);

}  // namespace commands
