#include "find_replace/searched_text.h"

#include <algorithm>

namespace find_replace {

namespace {

bool IsHighSurrogate(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// A surrogate or a full-width letter or digit (the upper and the lower case letters lie 0x20
// apart: U+FF21 and U+FF41 both come to 0), tested without branches so that the compiler
// tests a block of units at once: nearly every block of a chapter has none and is passed over
// whole. (Full-width punctuation, common in Chinese text, is not among them.)
inline char16_t MayChange(char16_t unit) {
  // Every step in 16 bits, so that a vector holds eight units throughout.
  const char16_t surrogate_bits = unit & 0xF800;
  const char16_t digit = unit - 0xFF10;
  const char16_t letter = (unit - 0xFF21) & 0xFFDF;
  return static_cast<char16_t>((surrogate_bits == 0xD800) | (digit < 10) | (letter < 26));
}

constexpr qsizetype kBlock = 64;

bool BlockMayChange(const char16_t* units) {
  char16_t any = 0;
  for (qsizetype k = 0; k < kBlock; ++k) any |= MayChange(units[k]);
  return any != 0;
}

// The offset of the first unit that needs changing, or the text's size. Whether one does is
// decided from the unit and, for a surrogate, its neighbour.
qsizetype FirstToChange(const char16_t* units, qsizetype size, bool fold_width,
                        bool repair_surrogates) {
  qsizetype i = 0;
  while (i < size) {
    if (size - i >= kBlock && !BlockMayChange(units + i)) {
      i += kBlock;
      continue;
    }
    // Unit by unit to the block's end; a surrogate pair may take the walk one past it.
    for (const qsizetype end = std::min(size, i + kBlock); i < end; ++i) {
      const char16_t unit = units[i];
      if (fold_width && IsFullWidthAlnum(unit)) return i;
      if (!repair_surrogates) continue;
      if (IsHighSurrogate(unit)) {
        if (i + 1 < size && IsLowSurrogate(units[i + 1])) {
          ++i;
          continue;
        }
        return i;
      }
      if (IsLowSurrogate(unit)) return i;
    }
  }
  return size;
}

}  // namespace

QString FoldWidth(QStringView text) {
  QString folded(text.size(), Qt::Uninitialized);
  std::transform(text.utf16(), text.utf16() + text.size(),
                 reinterpret_cast<char16_t*>(folded.data()),
                 [](char16_t unit) { return FoldWidth(unit); });
  return folded;
}

QStringView SearchedText::Prepare(QStringView text, bool fold_width, bool repair_surrogates) {
  const auto* units = reinterpret_cast<const char16_t*>(text.utf16());
  const qsizetype size = text.size();
  const qsizetype first = FirstToChange(units, size, fold_width, repair_surrogates);
  if (first == size) return text;
  // resize() keeps the capacity, so a shorter chapter after a longer one reuses the allocation.
  buffer_.resize(size);
  auto* out = reinterpret_cast<char16_t*>(buffer_.data());
  std::copy(units, units + first, out);
  for (qsizetype i = first; i < size; ++i) {
    const char16_t unit = units[i];
    if (unit < 0xD800) {
      out[i] = unit;
    } else if (IsHighSurrogate(unit) && i + 1 < size && IsLowSurrogate(units[i + 1])) {
      out[i] = unit;
      out[i + 1] = units[i + 1];
      ++i;
    } else if (repair_surrogates && (IsHighSurrogate(unit) || IsLowSurrogate(unit))) {
      out[i] = u'\uFFFD';
    } else {
      out[i] = fold_width ? FoldWidth(unit) : unit;
    }
  }
  return QStringView(buffer_);
}

}  // namespace find_replace
