#include "find_replace/replace_hits.h"

#include <algorithm>

#include "find_replace/searched_text.h"

namespace find_replace {

QString ReplaceHits(QStringView text, const Matcher& matcher, std::span<const Hit> chosen,
                    const QString& with, std::vector<Hit>* new_hits, qsizetype max_length) {
  if (new_hits) new_hits->clear();
  // Only an expression's groups need the text as the matcher searched it; folded once here for
  // every hit.
  SearchedText buffer;
  const bool uses_groups = matcher.options().pattern && with.contains(u'$');
  const QStringView searched = uses_groups ? matcher.Searched(text, &buffer) : text;

  // A hit is taken when it lies within the text and after the one taken before it.
  const auto taken = [&text](const Hit& hit, qsizetype after) {
    return hit.start >= after && hit.length > 0 && hit.start <= text.size() &&
           hit.length <= text.size() - hit.start;
  };
  // A text already longer than the bound may still be replaced in without growing.
  const qsizetype limit = std::max(max_length, text.size());
  // A plain replacement's length is known, so the new text's is known before any copying.
  qsizetype expected = text.size();
  if (!uses_groups) {
    qsizetype after = 0;
    for (const Hit& hit : chosen) {
      if (!taken(hit, after)) continue;
      expected += with.size() - hit.length;
      if (expected > limit) return text.toString();
      after = hit.start + hit.length;
    }
  }

  QString result;
  result.reserve(expected);
  qsizetype copied = 0;  // the text before this offset is in `result`, replaced or not
  for (const Hit& hit : chosen) {
    if (!taken(hit, copied)) continue;
    const QString replacement = matcher.ReplacementIn(text, searched, hit, with);
    // The rest of the text is known to come; what later hits add is checked as they come.
    if (result.size() + (hit.start - copied) + replacement.size() + (text.size() - hit.start) -
            hit.length >
        limit) {
      if (new_hits) new_hits->clear();
      return text.toString();
    }
    result.append(text.sliced(copied, hit.start - copied));
    if (new_hits) new_hits->push_back({result.size(), replacement.size()});
    result.append(replacement);
    copied = hit.start + hit.length;
  }
  result.append(text.sliced(copied));
  return result;
}

}  // namespace find_replace
