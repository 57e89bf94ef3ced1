#include "chapter_history/text_diff.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace chapter_history {
namespace {

using Kind = DiffPiece::Kind;

// DiffTexts with every promise of its contract checked: the pieces lie where they say and give
// back both texts, none is empty, no two of a kind touch, an addition never precedes a removal,
// and no common island of one or two characters stands between changes.
std::vector<DiffPiece> CheckedDiff(std::u32string_view old_text, std::u32string_view new_text) {
  const std::vector<DiffPiece> pieces = DiffTexts(old_text, new_text);
  std::u32string old_back, new_back;
  for (size_t i = 0; i < pieces.size(); ++i) {
    const DiffPiece& piece = pieces[i];
    EXPECT_GT(piece.length, 0u);
    EXPECT_EQ(piece.new_from, new_back.size());
    EXPECT_EQ(piece.from, piece.kind == Kind::kAdded ? new_back.size() : old_back.size());
    if (i > 0) {
      EXPECT_NE(piece.kind, pieces[i - 1].kind);
      EXPECT_FALSE(piece.kind == Kind::kRemoved && pieces[i - 1].kind == Kind::kAdded);
      EXPECT_FALSE(piece.kind == Kind::kSame && i + 1 < pieces.size() && piece.length <= 2);
    }
    if (piece.kind != Kind::kAdded) old_back += old_text.substr(piece.from, piece.length);
    if (piece.kind != Kind::kRemoved) new_back += new_text.substr(piece.new_from, piece.length);
  }
  EXPECT_TRUE(old_back == old_text && new_back == new_text) << pieces.size() << " pieces";
  return pieces;
}

// The new text with the removed pieces shown as [-...] and the added ones as [+...].
std::u32string Marked(std::u32string_view old_text, std::u32string_view new_text) {
  std::u32string marked;
  for (const DiffPiece& piece : CheckedDiff(old_text, new_text)) {
    const std::u32string part(
        (piece.kind == Kind::kAdded ? new_text : old_text).substr(piece.from, piece.length));
    marked += piece.kind == Kind::kSame      ? part
              : piece.kind == Kind::kRemoved ? U"[-" + part + U"]"
                                             : U"[+" + part + U"]";
  }
  return marked;
}

// Few and common characters, so that the texts repeat themselves the way prose does.
constexpr std::u32string_view kCommon = U"的了是他她我你说在这一不有人们道来去上下看着好，。！？😀🐉";
constexpr std::u32string_view kMany = U"";  // 3,000 ideographs: texts that rarely repeat

// `length` characters from `alphabet`, with a '\n' about once in `paragraph` when that is not 0.
std::u32string RandomText(std::mt19937& random, size_t length, std::u32string_view alphabet,
                          unsigned paragraph = 0) {
  std::u32string text;
  while (text.size() < length) {
    const char32_t c =
        alphabet.empty() ? U'\u4E00' + random() % 3000 : alphabet[random() % alphabet.size()];
    text += paragraph != 0 && random() % paragraph == 0 ? U'\n' : c;
  }
  return text;
}

TEST(TextDiff, RandomEditsGiveBothTextsBack) {
  std::mt19937 random(20240611);
  for (int round = 0; round < 400; ++round) {
    const unsigned paragraph = round % 2 ? 30 : 0;
    const std::u32string old_text = RandomText(random, random() % 300, kCommon, paragraph);
    std::u32string new_text = old_text;
    for (unsigned edits = random() % 12; edits > 0; --edits) {
      const size_t at = new_text.empty() ? 0 : random() % new_text.size();
      new_text.erase(at, random() % 3 == 0 ? random() % 30 : 0);
      new_text.insert(
          at, RandomText(random, random() % 3 == 0 ? random() % 30 : 0, kCommon, paragraph));
    }
    CheckedDiff(old_text, new_text);
    CheckedDiff(new_text, old_text);
  }
}

TEST(TextDiff, EditsAreMarkedByCharactersAsTheAuthorMadeThem) {
  std::mt19937 random(7);
  const std::u32string one = RandomText(random, 500, kMany), two = RandomText(random, 500, kMany),
                       three = RandomText(random, 500, kMany);
  const std::u32string_view cases[][3] = {
      // old text, new text, the new one marked
      {U"", U"", U""},
      {U"他说道。", U"他说道。", U"他说道。"},
      {U"", U"第一章", U"[+第一章]"},
      {U"第一章", U"", U"[-第一章]"},
      {U"今天😀很好", U"今天🐉很好", U"今天[-😀][+🐉]很好"},
      // An island of one or two common characters is folded in; three stay.
      {U"甲乙丙丁戊", U"甲子丙丑戊", U"甲[-乙丙丁][+子丙丑]戊"},
      {U"甲乙一二丁戊", U"甲子一二丑戊", U"甲[-乙一二丁][+子一二丑]戊"},
      {U"甲乙一二三丁戊", U"甲子一二三丑戊", U"甲[-乙][+子]一二三[-丁][+丑]戊"},
      // Splitting a paragraph adds just the break; a paragraph taken out goes with its break.
      {U"他来了。她走了。\n", U"他来了。\n她走了。\n", U"他来了。[+\n]她走了。\n"},
      {U"一段。\n\n二段。\n\n三段。\n", U"一段。\n\n三段。\n", U"一段。\n\n[-二段。\n\n]三段。\n"},
  };
  for (const auto& [old_text, new_text, marked] : cases) {
    EXPECT_TRUE(Marked(old_text, new_text) == marked) << marked.size();
  }
  // Words changed in and at the end of 500-character paragraphs, a paragraph rewritten whole.
  EXPECT_TRUE(Marked(one + U"他说：“走。”\n" + two + U"\n" + one + U"好。",
                     one + U"她说：“走。”\n" + three + U"\n" + one + U"好！") ==
              one + U"[-他][+她]说：“走。”\n[-" + two + U"][+" + three + U"]\n" + one +
                  U"好[-。][+！]");
}

// Each of these would take seconds or gigabytes without the paragraph pass and the bound on the
// search; here they must simply come out right.
TEST(TextDiff, TheWorstChaptersStillComeOutRight) {
  std::mt19937 random(99);
  for (unsigned paragraph : {0u, 500u}) {
    const std::u32string old_text = RandomText(random, 200'000, kMany, paragraph);
    CheckedDiff(old_text, RandomText(random, 200'000, kMany, paragraph));
    CheckedDiff(RandomText(random, 200'000, kCommon, paragraph),
                RandomText(random, 200'000, kCommon, paragraph));

    // A thousand characters, each unlike its neighbours, replaced by one the text never uses.
    std::u32string edited = old_text;
    for (size_t at = 1 + random() % 180; at < 200'000; at = at / 200 * 200 + 201 + random() % 180) {
      while (old_text[at] == old_text[at - 1] || old_text[at] == old_text[at + 1]) ++at;
      edited[at] = U'龍';
    }
    const std::vector<DiffPiece> pieces = CheckedDiff(old_text, edited);
    ASSERT_EQ(pieces.size(), 3001u);  // common parts around 1000 removals, each with its addition
    for (size_t i = 1; i < pieces.size(); i += 3) EXPECT_EQ(pieces[i].length, 1u);
  }
  const std::u32string long_text = RandomText(random, 200'000, kCommon, 300);
  EXPECT_EQ(CheckedDiff(long_text, U"").size(), 1u);
  EXPECT_EQ(CheckedDiff(U"", long_text).size(), 1u);
}

}  // namespace
}  // namespace chapter_history
