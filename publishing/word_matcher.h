#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Finds many words in a text in one pass (an Aho–Corasick automaton over UTF-16 code units), so
// that a list of a few hundred words costs a chapter about what one word does. Matching is exact:
// code unit for code unit, letters' case included.

namespace publishing {

class WordMatcher {
 public:
  struct Match {
    size_t start;   // UTF-16 offset
    size_t length;  // the word's length, never 0
    size_t word;    // the word's index in the list the matcher was made from
  };

  // Empty words are ignored. A word listed twice is found as its first copy.
  explicit WordMatcher(const std::vector<std::u16string>& words);

  // Every occurrence of every word, overlapping ones included, in order of where they end (those
  // ending together: longest first).
  std::vector<Match> FindAll(std::u16string_view text) const;

 private:
  using NodeIndex = int32_t;  // 0 = the root (nothing matched)
  struct Node {
    NodeIndex fail = 0;            // the node of the longest proper suffix that is in the trie
    NodeIndex next_word_end = -1;  // the nearest node along `fail` where a word ends; -1 none
    int32_t word = -1;             // the word ending here; -1 none
    int32_t depth = 0;             // code units from the root
  };

  NodeIndex Child(NodeIndex node, char16_t c) const;
  static uint64_t EdgeKey(NodeIndex node, char16_t c) {
    return (static_cast<uint64_t>(node) << 16) | c;
  }

  std::vector<Node> nodes_;
  std::unordered_map<uint64_t, NodeIndex> edges_;
};

}  // namespace publishing
