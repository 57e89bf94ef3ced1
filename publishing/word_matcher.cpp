#include "publishing/word_matcher.h"

#include <deque>
#include <utility>

namespace publishing {

WordMatcher::WordMatcher(const std::vector<std::u16string>& words) : nodes_(1) {
  // The trie, with each node's children kept for the breadth-first pass below.
  std::vector<std::vector<std::pair<char16_t, NodeIndex>>> children(1);
  for (size_t w = 0; w < words.size(); ++w) {
    NodeIndex node = 0;
    for (char16_t c : words[w]) {
      NodeIndex child = Child(node, c);
      if (child < 0) {
        child = static_cast<NodeIndex>(nodes_.size());
        Node added;
        added.depth = nodes_[node].depth + 1;
        nodes_.push_back(added);
        children.emplace_back();
        children[node].emplace_back(c, child);
        edges_.emplace(EdgeKey(node, c), child);
      }
      node = child;
    }
    if (node != 0 && nodes_[node].word < 0) nodes_[node].word = static_cast<int32_t>(w);
  }
  // Failure links by depth: a node's link is found from its parent's, which is shallower.
  std::deque<NodeIndex> queue;
  for (const auto& [c, child] : children[0]) queue.push_back(child);
  while (!queue.empty()) {
    const NodeIndex parent = queue.front();
    queue.pop_front();
    for (const auto& [c, child] : children[parent]) {
      NodeIndex fail = nodes_[parent].fail;
      NodeIndex target = Child(fail, c);
      while (target < 0 && fail != 0) {
        fail = nodes_[fail].fail;
        target = Child(fail, c);
      }
      Node& node = nodes_[child];
      node.fail = target > 0 ? target : 0;
      node.next_word_end =
          nodes_[node.fail].word >= 0 ? node.fail : nodes_[node.fail].next_word_end;
      queue.push_back(child);
    }
  }
}

WordMatcher::NodeIndex WordMatcher::Child(NodeIndex node, char16_t c) const {
  const auto found = edges_.find(EdgeKey(node, c));
  return found == edges_.end() ? -1 : found->second;
}

std::vector<WordMatcher::Match> WordMatcher::FindAll(std::u16string_view text) const {
  std::vector<Match> matches;
  if (nodes_.size() == 1) return matches;
  NodeIndex node = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    NodeIndex next = Child(node, text[i]);
    while (next < 0 && node != 0) {
      node = nodes_[node].fail;
      next = Child(node, text[i]);
    }
    node = next < 0 ? 0 : next;
    for (NodeIndex end = nodes_[node].word >= 0 ? node : nodes_[node].next_word_end; end >= 0;
         end = nodes_[end].next_word_end) {
      const auto length = static_cast<size_t>(nodes_[end].depth);
      matches.push_back({i + 1 - length, length, static_cast<size_t>(nodes_[end].word)});
    }
  }
  return matches;
}

}  // namespace publishing
