#include "writing_history/figure_text.h"

namespace writing_history {

std::string Grouped(int64_t number) {
  // Built from the unsigned magnitude: the most negative number has no positive twin.
  uint64_t magnitude = number < 0 ? 0 - static_cast<uint64_t>(number) : static_cast<uint64_t>(number);
  std::string digits = std::to_string(magnitude);
  for (size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, ",");
  return number < 0 ? "-" + digits : digits;
}

std::string TodayProgressText(int64_t characters, int64_t target) {
  std::string text = "今日：" + Grouped(characters);
  if (target > 0) text += " / " + Grouped(target);
  return text + " 字";
}

}  // namespace writing_history
