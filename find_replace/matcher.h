#pragma once

#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <cstddef>
#include <optional>
#include <vector>

// Finding a text in a chapter: a plain text or a regular expression, with the author's choice of
// letter case and of whether full-width letters and digits count as their ASCII forms.
//
// A line break in a searched text is "\n", as the text box gives its text. In an expression "."
// does not match it (write [\s\S], or start with (?s), to reach across lines), and "^" and "$"
// stand for the start and end of the whole text unless the expression starts with (?m).

namespace find_replace {

struct FindOptions {
  bool pattern = false;            // the text is a regular expression (Unicode properties on)
  bool width_insensitive = false;  // full-width letters and digits match alike: Ａ=A, ａ=a, ０=0
  bool case_sensitive = true;
};

// A piece of a searched text, in UTF-16 units.
struct Hit {
  qsizetype start;
  qsizetype length;
  friend bool operator==(const Hit&, const Hit&) = default;
};

class SearchedText;

// What to look for, prepared once (an expression is compiled and JIT-compiled here) and then
// used for any number of texts. A Matcher does not change after Make. Copies share the compiled
// expression: use a Matcher and its copies on one thread at a time (to search on another
// thread, Make one there).
class Matcher {
 public:
  // nullopt, with the reason in Chinese for the author in *error (when not null), for an empty
  // `what` or an expression that does not compile: "查找内容是空的", or "表达式有误：<the
  // engine's message> （第 N 个字符）" where N counts characters from 1 in `what` as the author
  // typed it (the last character when the engine points past the end).
  //
  // A width-insensitive expression has its full-width letters and digits folded like the text;
  // a backslash that escapes one is dropped with it, so "\ｄ" still means the letter, not \d.
  static std::optional<Matcher> Make(const QString& what, const FindOptions& options,
                                     QString* error);

  // Every hit in `text`, in order, none overlapping the one before, none empty. An expression
  // never yields an empty match: where it could match nothing it finds the first match of at
  // least one character instead, so "a*" finds the runs of "a", "x*?" each single "x", and "^"
  // nothing. A match so tangled that the engine gives up on it (its backtracking limit) ends the
  // search of that text.
  std::vector<Hit> FindAll(QStringView text) const;

  // The text that replaces `hit`, found in `text` by this matcher. For a plain text, `with` as it
  // stands. For an expression, `with` with these taken from the match:
  //   $0 .. $99   the group of that number ($0 the whole match); of two digits the longer is
  //               taken when the expression has that many groups, so with two groups "$12" is
  //               group 1 and then "2";
  //   ${name}     the named group (or ${12}, a numbered one);
  //   $$          one "$".
  // A group left unmatched (the other side of an "|") gives nothing; a "$" that names no group of
  // the expression stays as it is, so "$100" stays for an expression without groups. When the
  // expression does not match at `hit` the way it did (the text has changed), $0 is the text at
  // `hit` and every other group gives nothing.
  //
  // Width-insensitive expressions fold `text` first, in full: ReplaceHits folds it once for all
  // its hits.
  QString ReplacementFor(QStringView text, Hit hit, const QString& with) const;

  const FindOptions& options() const { return options_; }

  // The steps of FindAll and ReplacementFor apart, for callers that search or replace in many
  // texts (SearchNovel, ReplaceHits) with one SearchedText for them all.
  //
  // `text` as this matcher searches it (searched_text.h): offsets are the same in both.
  QStringView Searched(QStringView text, SearchedText* buffer) const;
  // Appends the hits in `searched` to *hits, at most `limit` of them.
  // Requires: `searched` is what Searched gave for the text.
  void FindIn(QStringView searched, size_t limit, std::vector<Hit>* hits) const;
  // ReplacementFor, the groups matched in `searched` and their text taken from `text`.
  // Requires: `searched` is what Searched gave for `text`.
  QString ReplacementIn(QStringView text, QStringView searched, Hit hit, const QString& with) const;

 private:
  Matcher(const FindOptions& options, QString needle, QRegularExpression expression);

  FindOptions options_;
  QString needle_;  // a plain text, folded when width-insensitive
  // How needle_ is compared: case-sensitively also when the author asked otherwise but no
  // character of it has a case (a Chinese name), which is several times faster.
  Qt::CaseSensitivity needle_case_ = Qt::CaseSensitive;
  QRegularExpression expression_;  // an expression, compiled
  QStringList group_names_;        // the expression's, by group number ("" for a group without)
};

}  // namespace find_replace
