#include "platform/core/process.h"

namespace platform {

std::vector<std::string> SplitParameters(const std::string& parameters) {
  std::vector<std::string> words;
  std::string word;
  bool in_word = false;
  char quote = 0;
  for (size_t i = 0; i < parameters.size(); ++i) {
    const char c = parameters[i];
    if (quote != 0) {
      if (c == quote) {
        quote = 0;
      } else if (c == '\\' && quote == '"' && i + 1 < parameters.size()) {
        word += parameters[++i];
      } else {
        word += c;
      }
    } else if (c == ' ' || c == '\t') {
      if (in_word) words.push_back(std::move(word));
      word.clear();
      in_word = false;
    } else {
      in_word = true;
      if (c == '"' || c == '\'') {
        quote = c;
      } else if (c == '\\' && i + 1 < parameters.size()) {
        word += parameters[++i];
      } else {
        word += c;
      }
    }
  }
  if (in_word) words.push_back(std::move(word));
  return words;
}

}  // namespace platform
