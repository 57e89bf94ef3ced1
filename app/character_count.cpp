#include "app/character_count.h"

#include "platform/core/code_page.h"
#include "publishing/platform_counts.h"

namespace app {

int64_t CountCharacters(std::string_view text) {
  int64_t count = 0;
  // A carriage return that was counted and that a line feed would take back with it.
  bool after_carriage_return = false;
  for (size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte == ' ') continue;
    if (byte >= 0x80) {
      if (i + 1 == text.size()) break;
      ++i;  // the trail byte, whatever it is
      ++count;
      after_carriage_return = false;
      continue;
    }
    if (byte == '\n' && after_carriage_return) {
      --count;
      after_carriage_return = false;
      continue;
    }
    ++count;
    after_carriage_return = byte == '\r';
  }
  return count;
}

int64_t CountChineseCharacters(std::string_view gbk) {
  return publishing::CountForPlatforms(platform::GbkToUtf16(gbk)).chinese;
}

int64_t CountCharactersWithoutBlanks(std::string_view gbk) {
  return publishing::CountForPlatforms(platform::GbkToUtf16(gbk)).without_blanks;
}

int64_t CountCharactersWithoutPunctuation(std::string_view gbk) {
  return publishing::CountForPlatforms(platform::GbkToUtf16(gbk)).without_punctuation;
}

}  // namespace app
