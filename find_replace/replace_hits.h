#pragma once

#include <QString>
#include <QStringView>
#include <span>
#include <vector>

#include "find_replace/matcher.h"

// Replacing the hits the author chose (all of them, or the ones ticked in the hit list).

namespace find_replace {

// The longest text a replacement may make, in UTF-16 units: far beyond any chapter (and the
// whole novel), short of what would exhaust the memory of a writer's machine.
inline constexpr qsizetype kMaxReplacedLength = qsizetype{1} << 27;

// `text` with the `chosen` hits replaced by what matcher.ReplacementFor gives for each. The hits
// are meant to be ones FindAll gave for `text`, any subset of them, in order. A hit that does
// not lie within the text (negative start, length below 1, or an end past the text's) or that
// starts before the end of the last hit replaced is passed over: the text there stays.
//
// *new_hits (when not null) is set to where each replacement stands in the new text, one per hit
// replaced, in order, for selecting them afterwards; an empty replacement stands there with
// length 0.
//
// When the new text would be longer than `max_length` (and than `text`), `text` comes back as it
// was and *new_hits is empty.
QString ReplaceHits(QStringView text, const Matcher& matcher, std::span<const Hit> chosen,
                    const QString& with, std::vector<Hit>* new_hits = nullptr,
                    qsizetype max_length = kMaxReplacedLength);

}  // namespace find_replace
