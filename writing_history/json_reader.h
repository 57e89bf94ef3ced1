#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace writing_history {

// A JSON value as the history file needs it: numbers are kept as doubles (the file's
// integers stay far below 2^53), strings as UTF-8 with their escapes resolved.
struct JsonValue {
  enum class Kind { kNull, kBool, kNumber, kString, kArray, kObject };
  Kind kind = Kind::kNull;
  bool boolean = false;
  double number = 0;
  std::string string;
  std::vector<JsonValue> array;
  std::map<std::string, JsonValue> object;  // a name given twice keeps its last value

  // The member `name` of an object; nullptr when this is no object or has no such member.
  const JsonValue* Member(const std::string& name) const;
  // The number as an integer when it is one within ±2^53; nullopt otherwise.
  std::optional<int64_t> Integer() const;
};

// The one JSON value `text` holds (blanks around it allowed); nullopt for anything that is
// not JSON, nested deeper than 64 levels, or followed by more than blanks.
std::optional<JsonValue> ParseJson(std::string_view text);

}  // namespace writing_history
