#include "commands/date_time_text.h"

#include "commands/date_time.h"
#include "commands/full_width.h"
#include "runtime/gbk_literal.h"

namespace commands {

namespace {

struct DateTimeWords {
  std::string year = runtime::Gbk("年");
  std::string month = runtime::Gbk("月");
  std::string day = runtime::Gbk("日");
  std::string hour = runtime::Gbk("时");
  std::string minute = runtime::Gbk("分");
  std::string second = runtime::Gbk("秒");
};

const DateTimeWords& Words() {
  static const DateTimeWords words;
  return words;
}

// Reads the typed-in form from left to right.
class DateTimeReader {
 public:
  explicit DateTimeReader(std::string_view text) : rest_(text) {}

  // Up to `max_digits` ASCII digits; 0 when there are none.
  int32_t Number(int max_digits) {
    int32_t value = 0;
    for (int i = 0; i < max_digits && !rest_.empty() && rest_[0] >= '0' && rest_[0] <= '9'; ++i) {
      value = value * 10 + (rest_[0] - '0');
      rest_.remove_prefix(1);
    }
    return value;
  }

  // Skips one of `separators` (single bytes) or the word `word`, if one is next.
  void SkipSeparator(std::string_view separators, std::string_view word) {
    if (!rest_.empty() && separators.find(rest_[0]) != std::string_view::npos) {
      rest_.remove_prefix(1);
    } else if (rest_.starts_with(word)) {
      rest_.remove_prefix(word.size());
    }
  }

  std::string_view rest() const { return rest_; }

 private:
  std::string_view rest_;
};

}  // namespace

std::string DateTimeToText(double date_time) {
  const DateTimeWords& words = Words();
  const CalendarParts parts = DateTimeToParts(date_time);
  std::string text = std::to_string(parts.year) + words.year + std::to_string(parts.month) +
                     words.month + std::to_string(parts.day) + words.day;
  // The time is written down to its last part that is not zero.
  const int shown = parts.second != 0 ? 3 : parts.minute != 0 ? 2 : parts.hour != 0 ? 1 : 0;
  if (shown >= 1) text += std::to_string(parts.hour) + words.hour;
  if (shown >= 2) text += std::to_string(parts.minute) + words.minute;
  if (shown >= 3) text += std::to_string(parts.second) + words.second;
  return text;
}

std::optional<double> TextToDateTime(std::string_view text) {
  const std::string normalized = NormalizeFullWidth(text);
  if (normalized.empty()) return std::nullopt;
  const DateTimeWords& words = Words();
  DateTimeReader reader(normalized);
  CalendarParts parts;
  parts.year = reader.Number(4);
  reader.SkipSeparator("-./:", words.year);
  parts.month = reader.Number(2);
  reader.SkipSeparator("-./:", words.month);
  parts.day = reader.Number(2);
  reader.SkipSeparator(" -./:", words.day);
  parts.hour = reader.Number(2);
  reader.SkipSeparator("-./:", words.hour);
  parts.minute = reader.Number(2);
  reader.SkipSeparator("-./:", words.minute);
  parts.second = reader.Number(2);
  if (!reader.rest().empty() && reader.rest() != words.second) return std::nullopt;
  if (!IsValidCalendarParts(parts)) return std::nullopt;
  return PartsToDateTime(parts);
}

}  // namespace commands
