#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

// The character-level comparison behind the chapter history window: which characters of an
// earlier version of a chapter were taken out and which were put in to make the current text.
// Offsets and lengths count code points (one char32_t each), so an emoji or any other
// character outside the BMP is one character, as the author sees it.

namespace chapter_history {

struct DiffPiece {
  enum class Kind { kSame, kRemoved, kAdded };
  Kind kind;
  size_t from;      // offset in the old text (kSame, kRemoved) or in the new text (kAdded)
  size_t length;    // in characters, never 0
  size_t new_from;  // where the piece begins in the new text: for kSame where its copy there
                    // begins, for kRemoved where the removed text stood, for kAdded == from
};

// The pieces that turn `old_text` into `new_text`, in text order: taking the kSame and kRemoved
// pieces from the old text gives it back, the kSame and kAdded pieces from the new text give
// that. Both texts are empty exactly when the result is.
//
// The result is shaped for reading, not only for being short:
//  - each changed stretch is one kRemoved followed by one kAdded (either may be missing), so
//    two pieces of the same kind never touch and an addition never directly precedes a removal;
//  - a kSame of one or two characters never stands between two changes: such an island is
//    folded into the changes around it, which reads better than a change split by a stray
//    common character.
// Otherwise the changes are as few characters as the search finds. Paragraphs ('\n' ends one)
// that are unchanged are matched first, then the characters inside each changed stretch. The
// search is bounded so that even two unrelated chapters compare quickly: a stretch whose
// changes are too many or too tangled to untangle within its share of the bound is reported
// as removed and added whole. The share depends on how much else changed, so the same edit
// may be marked by characters in one comparison and whole in a much bigger one.
std::vector<DiffPiece> DiffTexts(std::u32string_view old_text, std::u32string_view new_text);

}  // namespace chapter_history
