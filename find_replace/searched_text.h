#pragma once

#include <QString>
#include <QStringView>

// The text a search runs over may differ from the text the author sees in two ways, each of
// which turns one UTF-16 unit into one, so that every offset found in the one holds in the other:
//  - full-width digits and Latin letters become their ASCII forms (a width-insensitive search);
//  - a lone surrogate becomes U+FFFD. The expression engine is told that its subject is valid
//    UTF-16, which spares it checking the whole rest of the text at every match; a lone
//    surrogate (pasted in from elsewhere) would then be undefined behaviour in the engine.

namespace find_replace {

// U+FF10–FF19, U+FF21–FF3A and U+FF41–FF5A: the full-width digits and Latin letters.
constexpr bool IsFullWidthAlnum(char16_t unit) {
  return (unit >= 0xFF10 && unit <= 0xFF19) || (unit >= 0xFF21 && unit <= 0xFF3A) ||
         (unit >= 0xFF41 && unit <= 0xFF5A);
}

// The ASCII form of a full-width digit or Latin letter; any other unit as it is.
constexpr char16_t FoldWidth(char16_t unit) {
  return IsFullWidthAlnum(unit) ? static_cast<char16_t>(unit - 0xFEE0) : unit;
}

// `text` with every full-width digit and Latin letter folded, nothing else changed.
QString FoldWidth(QStringView text);

// Prepares one text after another for searching in one buffer, so that a search over thousands
// of chapters copies only the chapters that need changing and allocates only when a chapter is
// longer than all before it.
class SearchedText {
 public:
  // `text` itself when nothing in it needs changing, otherwise a view of this object's buffer
  // holding the changed copy, valid until the next call or the object's end.
  QStringView Prepare(QStringView text, bool fold_width, bool repair_surrogates);

 private:
  QString buffer_;
};

}  // namespace find_replace
