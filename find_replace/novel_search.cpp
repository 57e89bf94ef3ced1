#include "find_replace/novel_search.h"

#include "find_replace/searched_text.h"

namespace find_replace {

namespace {

bool IsLineBreak(QChar c) { return c == u'\n' || c == u'\r'; }

NovelHit WithContext(size_t chapter, bool in_name, QStringView text, Hit hit) {
  qsizetype from = hit.start;
  while (from > 0 && hit.start - from < kContextLength && !IsLineBreak(text[from - 1])) --from;
  if (from < hit.start && text[from].isLowSurrogate()) ++from;
  const qsizetype end = hit.start + hit.length;
  qsizetype to = end;
  while (to < text.size() && to - end < kContextLength && !IsLineBreak(text[to])) ++to;
  if (to > end && text[to - 1].isHighSurrogate()) --to;
  return {chapter,
          in_name,
          hit,
          text.sliced(from, hit.start - from).toString(),
          text.sliced(hit.start, hit.length).toString(),
          text.sliced(end, to - end).toString()};
}

}  // namespace

NovelSearch SearchNovel(std::span<const ChapterText> chapters, const Matcher& matcher,
                        bool include_names, size_t max_hits) {
  NovelSearch search;
  SearchedText buffer;
  std::vector<Hit> hits;  // one chapter's, reused
  // Adds the hits of one text; false once the list is full and one more hit was seen.
  const auto search_in = [&](size_t chapter, bool in_name, const QString& text) {
    const size_t room = max_hits - search.hits.size();
    hits.clear();
    // One hit more than there is room for tells whether the list is cut short.
    matcher.FindIn(matcher.Searched(text, &buffer), room == SIZE_MAX ? room : room + 1, &hits);
    for (size_t i = 0; i < hits.size() && i < room; ++i) {
      search.hits.push_back(WithContext(chapter, in_name, text, hits[i]));
    }
    if (hits.size() > room) search.cut_short = true;
    return !search.cut_short;
  };
  for (size_t chapter = 0; chapter < chapters.size(); ++chapter) {
    if (include_names && !search_in(chapter, true, chapters[chapter].name)) break;
    if (!search_in(chapter, false, chapters[chapter].text)) break;
  }
  return search;
}

}  // namespace find_replace
