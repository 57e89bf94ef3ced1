#pragma once

#include <QTextFormat>

namespace units {

// The document keeps every line break a multi-line box was given, so that its text reads
// back exactly as written, and every break ends a paragraph (a block), so that typing lays
// out one paragraph however the text's lines were broken. A break written as CR LF (typed or
// pasted) is a plain block break; a lone LF or a lone CR is a block break whose own character
// format carries a mark (the block's char format is that of the break before it). A format
// belongs to its character: it goes where the break goes, through edits, undo and redo, and
// goes with it when an edit removes it. Text typed after a marked break may take the mark
// into its own format, but only breaks are ever asked for it, and every break the box puts in
// (typed, pasted or written) goes in through InsertLines, which gives it its own.
inline constexpr int kLoneBreak = QTextFormat::UserProperty + 1;
inline constexpr int kLoneLineFeed = 1;
inline constexpr int kLoneCarriageReturn = 2;
// Set on a document once a marked break was put in it, so that a text without any is read
// without a walk over its blocks.
inline constexpr char kHoldsLoneBreaks[] = "inkstoneHoldsLoneBreaks";

}  // namespace units
