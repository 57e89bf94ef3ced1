#pragma once

#include <optional>
#include <string>
#include <string_view>

// Date-times as text (GBK), both ways.

namespace commands {

// "2013年12月5日", followed by the time of day only as far as it is not zero:
// "2013年12月5日9时", "2013年12月5日14时30分", "2013年12月5日0时0分5秒".
std::string DateTimeToText(double date_time);

// A date-time typed in. Full-width characters are made ASCII first, then the text must read
//   year (up to 4 digits) [one of - . / : 年]
//   month (up to 2 digits) [one of - . / : 月]
//   day (up to 2 digits) [one of space - . / : 日]
//   hour (up to 2 digits) [one of - . / : 时] minute (up to 2 digits) [one of - . / : 分]
//   second (up to 2 digits) [秒]
// with nothing left over. A part that is absent counts as 0. Fails (nullopt) for an empty text,
// text left over, or parts outside a real date and time of the years 100 to 9999.
std::optional<double> TextToDateTime(std::string_view text);

}  // namespace commands
