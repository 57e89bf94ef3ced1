#include "chapter_history/text_diff.h"

#include <algorithm>
#include <cassert>
#include <cstdint>
#include <unordered_map>

namespace chapter_history {

namespace {

using Kind = DiffPiece::Kind;

// The search is bounded in units of work: one unit is a diagonal visited or a pair of elements
// compared, a few nanoseconds. Matching the paragraphs may take up to kParagraphWork of kWork;
// what it leaves is shared by the changed stretches in proportion to their sizes. That keeps two
// unrelated chapters to a few tens of milliseconds, and is still over one and a half times what
// a chapter of 200,000 characters without a paragraph break needs to find a thousand scattered
// one-character replacements.
constexpr int64_t kWork = 7'000'000;
constexpr int64_t kParagraphWork = 2'000'000;

// A common stretch this short between two changes is folded into them.
constexpr size_t kIslandLength = 2;

// One step of an edit script between the sequences a and b, begun at a[a] and b[b]: a kSame
// covers `length` elements of both, a kRemoved a[a, a + length), a kAdded b[b, b + length).
struct Step {
  Kind kind;
  size_t a;
  size_t b;
  size_t length;
};

// Steps are appended in order, so a step of the kind of the last one continues it.
void Append(std::vector<Step>& steps, Kind kind, size_t a, size_t b, size_t length) {
  if (length == 0) return;
  if (!steps.empty() && steps.back().kind == kind) {
    steps.back().length += length;
  } else {
    steps.push_back({kind, a, b, length});
  }
}

// Myers' search for a shortest edit script, in linear space: the middle snake of an optimal path
// is found by searching from both ends at once, and the parts before and after it are solved in
// turn, each with about half the edits, so the recursion is O(log D) deep.
template <typename T>
class Differ {
 public:
  Differ(const T* a, const T* b, std::vector<Step>& steps) : a_(a), b_(b), steps_(steps) {}

  // Appends the steps that turn a[a0, a1) into b[b0, b1) and returns the work spent, at most
  // about `work`: a part still unsolved when the work runs out is appended removed and added
  // whole.
  int64_t Run(size_t a0, size_t a1, size_t b0, size_t b1, int64_t work) {
    work_left_ = work;
    Solve(a0, a1, b0, b1);
    return work - std::max<int64_t>(work_left_, 0);
  }

 private:
  void Solve(size_t a0, size_t a1, size_t b0, size_t b1) {
    size_t prefix = 0;
    while (a0 + prefix < a1 && b0 + prefix < b1 && a_[a0 + prefix] == b_[b0 + prefix]) ++prefix;
    Append(steps_, Kind::kSame, a0, b0, prefix);
    a0 += prefix;
    b0 += prefix;
    size_t suffix = 0;
    while (a1 - suffix > a0 && b1 - suffix > b0 && a_[a1 - suffix - 1] == b_[b1 - suffix - 1]) {
      ++suffix;
    }
    a1 -= suffix;
    b1 -= suffix;

    size_t split_a = 0;
    size_t split_b = 0;
    if (a0 < a1 && b0 < b1 && FindMiddle(a0, a1, b0, b1, split_a, split_b)) {
      Solve(a0, split_a, b0, split_b);
      Solve(split_a, a1, split_b, b1);
    } else {
      Append(steps_, Kind::kRemoved, a0, b0, a1 - a0);
      Append(steps_, Kind::kAdded, a1, b0, b1 - b0);
    }
    Append(steps_, Kind::kSame, a1, b1, suffix);
  }

  // Sets (split_a, split_b) to a point strictly inside the edit graph of a[a0, a1) against
  // b[b0, b1) that an optimal path goes through. False when the work runs out first, or when
  // the two have nothing in common.
  // Requires: both are non-empty and differ in their first and in their last elements.
  bool FindMiddle(size_t a0, size_t a1, size_t b0, size_t b1, size_t& split_a, size_t& split_b) {
    assert(a0 < a1 && b0 < b1 && a_[a0] != b_[b0] && a_[a1 - 1] != b_[b1 - 1]);
    if (work_left_ <= 0) return false;
    const T* a = a_ + a0;
    const T* b = b_ + b0;
    const ptrdiff_t n = static_cast<ptrdiff_t>(a1 - a0);
    const ptrdiff_t m = static_cast<ptrdiff_t>(b1 - b0);
    const ptrdiff_t max_d = (n + m + 1) / 2;
    const ptrdiff_t delta = n - m;
    // With an odd delta the forward path meets the backward one, with an even delta the reverse.
    const bool forward_meets = delta % 2 != 0;

    // forward[k]: the furthest x reached on diagonal k = x - y from (0, 0); backward[k]: the same
    // from (n, m), x and y counted back from there. -1 marks a diagonal not reached yet; only
    // diagonals within d + 1 of 0 are set up by step d. A path on diagonal k continues the
    // further of a step right from k - 1 and a step down from k + 1, and since the diagonals
    // just outside the reached ones hold -1, that is simply the larger of the two.
    const ptrdiff_t offset = max_d;
    const size_t size = static_cast<size_t>(2 * max_d + 2);
    if (forward_.size() < size) {
      forward_.resize(size);
      backward_.resize(size);
    }
    ptrdiff_t* forward = forward_.data() + offset;
    ptrdiff_t* backward = backward_.data() + offset;
    forward[-1] = forward[0] = backward[-1] = backward[0] = -1;
    forward[1] = backward[1] = 0;

    // Diagonals that ran off the graph at the start or end are not visited again.
    ptrdiff_t forward_start = 0, forward_end = 0, backward_start = 0, backward_end = 0;
    for (ptrdiff_t d = 0; d < max_d; ++d) {
      if (d > 0) forward[-d - 1] = forward[d + 1] = backward[-d - 1] = backward[d + 1] = -1;

      for (ptrdiff_t k = -d + forward_start; k <= d - forward_end; k += 2) {
        ptrdiff_t x = std::max(forward[k - 1] + 1, forward[k + 1]);
        ptrdiff_t y = x - k;
        const ptrdiff_t snake_start = x;
        while (x < n && y < m && a[x] == b[y]) ++x, ++y;
        forward[k] = x;
        work_left_ -= x - snake_start + 1;
        if (x > n) {
          forward_end += 2;
        } else if (y > m) {
          forward_start += 2;
        } else if (forward_meets) {
          const ptrdiff_t other = delta - k;
          if (other >= -d - 1 && other <= d + 1 && backward[other] != -1 &&
              x >= n - backward[other]) {
            split_a = a0 + static_cast<size_t>(x);
            split_b = b0 + static_cast<size_t>(y);
            return true;
          }
        }
      }

      for (ptrdiff_t k = -d + backward_start; k <= d - backward_end; k += 2) {
        ptrdiff_t x = std::max(backward[k - 1] + 1, backward[k + 1]);
        ptrdiff_t y = x - k;
        const ptrdiff_t snake_start = x;
        while (x < n && y < m && a[n - x - 1] == b[m - y - 1]) ++x, ++y;
        backward[k] = x;
        work_left_ -= x - snake_start + 1;
        if (x > n) {
          backward_end += 2;
        } else if (y > m) {
          backward_start += 2;
        } else if (!forward_meets) {
          const ptrdiff_t other = delta - k;
          if (other >= -d - 1 && other <= d + 1 && forward[other] != -1 &&
              forward[other] >= n - x) {
            split_a = a0 + static_cast<size_t>(forward[other]);
            split_b = b0 + static_cast<size_t>(forward[other] - other);
            return true;
          }
        }
      }
      if (work_left_ <= 0) return false;
    }
    return false;
  }

  const T* a_;
  const T* b_;
  std::vector<Step>& steps_;
  int64_t work_left_ = 0;
  std::vector<ptrdiff_t> forward_;
  std::vector<ptrdiff_t> backward_;
};

// The paragraphs of a text as numbers, equal for equal paragraphs, and where each begins. A
// paragraph keeps its '\n'; the last one may have none.
struct Paragraphs {
  std::vector<uint32_t> ids;
  std::vector<size_t> starts;  // one more than `ids`: the last entry is the end of the text
};

using ParagraphNumbers = std::unordered_map<std::u32string_view, uint32_t>;

// The paragraphs of text[begin, end); offsets stay those of `text`.
Paragraphs SplitParagraphs(std::u32string_view text, size_t begin, size_t end,
                           ParagraphNumbers& numbers) {
  const std::u32string_view part = text.substr(begin, end - begin);
  Paragraphs paragraphs;
  size_t start = 0;
  while (start < part.size()) {
    const size_t newline = part.find(U'\n', start);
    const size_t stop = newline == std::u32string_view::npos ? part.size() : newline + 1;
    const uint32_t next_number = static_cast<uint32_t>(numbers.size());
    paragraphs.ids.push_back(
        numbers.try_emplace(part.substr(start, stop - start), next_number).first->second);
    paragraphs.starts.push_back(begin + start);
    start = stop;
  }
  paragraphs.starts.push_back(end);
  return paragraphs;
}

// A stretch of old_text[old_begin, old_end) against new_text[new_begin, new_end): the same
// paragraphs, or changed ones whose characters are still to be compared.
struct Stretch {
  bool same;
  size_t old_begin, old_end, new_begin, new_end;
};

// Appends the steps for old_text[old_begin, old_end) against new_text[new_begin, new_end),
// which begin and end with different characters: unchanged paragraphs are matched first, then
// the characters of each changed stretch between them.
void DiffMiddle(std::u32string_view old_text, std::u32string_view new_text, size_t old_begin,
                size_t old_end, size_t new_begin, size_t new_end, std::vector<Step>& steps) {
  if (old_begin == old_end || new_begin == new_end) {
    Append(steps, Kind::kRemoved, old_begin, new_begin, old_end - old_begin);
    Append(steps, Kind::kAdded, old_end, new_begin, new_end - new_begin);
    return;
  }
  ParagraphNumbers numbers;
  const Paragraphs old_paragraphs = SplitParagraphs(old_text, old_begin, old_end, numbers);
  const Paragraphs new_paragraphs = SplitParagraphs(new_text, new_begin, new_end, numbers);
  std::vector<Step> paragraph_steps;
  Differ<uint32_t> paragraph_differ(old_paragraphs.ids.data(), new_paragraphs.ids.data(),
                                    paragraph_steps);
  const int64_t char_work = kWork - paragraph_differ.Run(0, old_paragraphs.ids.size(), 0,
                                                         new_paragraphs.ids.size(), kParagraphWork);

  // Between two same steps the changed paragraphs of both texts are each one range, so a
  // changed stretch collects every step up to the next same one.
  std::vector<Stretch> stretches;
  size_t searched = 0;  // characters in stretches changed on both sides
  for (const Step& step : paragraph_steps) {
    const bool same = step.kind == Kind::kSame;
    const size_t old_length = step.kind == Kind::kAdded ? 0 : step.length;
    const size_t new_length = step.kind == Kind::kRemoved ? 0 : step.length;
    const Stretch stretch = {
        same, old_paragraphs.starts[step.a], old_paragraphs.starts[step.a + old_length],
        new_paragraphs.starts[step.b], new_paragraphs.starts[step.b + new_length]};
    if (!same && !stretches.empty() && !stretches.back().same) {
      stretches.back().old_end = stretch.old_end;
      stretches.back().new_end = stretch.new_end;
    } else {
      stretches.push_back(stretch);
    }
  }
  for (const Stretch& stretch : stretches) {
    if (!stretch.same && stretch.old_begin < stretch.old_end &&
        stretch.new_begin < stretch.new_end) {
      searched += stretch.old_end - stretch.old_begin + stretch.new_end - stretch.new_begin;
    }
  }

  Differ<char32_t> differ(old_text.data(), new_text.data(), steps);
  for (const Stretch& stretch : stretches) {
    if (stretch.same) {
      Append(steps, Kind::kSame, stretch.old_begin, stretch.new_begin,
             stretch.old_end - stretch.old_begin);
      continue;
    }
    // `searched` is 0 only when no stretch needs a search.
    const size_t size = stretch.old_end - stretch.old_begin + stretch.new_end - stretch.new_begin;
    const double share =
        static_cast<double>(size) / static_cast<double>(std::max<size_t>(searched, 1));
    differ.Run(stretch.old_begin, stretch.old_end, stretch.new_begin, stretch.new_end,
               static_cast<int64_t>(share * static_cast<double>(char_work)) + 1);
  }
}

// The pieces for `steps`, each changed stretch made one removal and one addition, with the
// short common islands inside it.
std::vector<DiffPiece> Tidy(const std::vector<Step>& steps, size_t old_size, size_t new_size) {
  std::vector<DiffPiece> pieces;
  size_t i = 0;
  while (i < steps.size()) {
    const Step& first = steps[i];
    if (first.kind == Kind::kSame) {
      pieces.push_back({Kind::kSame, first.a, first.length, first.b});
      ++i;
      continue;
    }
    // Same steps are never adjacent, so a short one followed by anything lies between changes.
    size_t end = i + 1;
    for (;;) {
      while (end < steps.size() && steps[end].kind != Kind::kSame) ++end;
      if (end + 1 >= steps.size() || steps[end].length > kIslandLength) break;
      ++end;
    }
    const size_t old_end = end < steps.size() ? steps[end].a : old_size;
    const size_t new_end = end < steps.size() ? steps[end].b : new_size;
    if (old_end > first.a) pieces.push_back({Kind::kRemoved, first.a, old_end - first.a, first.b});
    if (new_end > first.b) pieces.push_back({Kind::kAdded, first.b, new_end - first.b, first.b});
    i = end;
  }
  return pieces;
}

}  // namespace

std::vector<DiffPiece> DiffTexts(std::u32string_view old_text, std::u32string_view new_text) {
  const size_t shorter = std::min(old_text.size(), new_text.size());
  size_t prefix = 0;
  while (prefix < shorter && old_text[prefix] == new_text[prefix]) ++prefix;
  size_t suffix = 0;
  while (suffix < shorter - prefix &&
         old_text[old_text.size() - suffix - 1] == new_text[new_text.size() - suffix - 1]) {
    ++suffix;
  }
  const size_t old_end = old_text.size() - suffix;
  const size_t new_end = new_text.size() - suffix;

  std::vector<Step> steps;
  Append(steps, Kind::kSame, 0, 0, prefix);
  DiffMiddle(old_text, new_text, prefix, old_end, prefix, new_end, steps);
  Append(steps, Kind::kSame, old_end, new_end, suffix);
  return Tidy(steps, old_text.size(), new_text.size());
}

}  // namespace chapter_history
