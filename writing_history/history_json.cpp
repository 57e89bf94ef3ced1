#include "writing_history/history_json.h"

#include "writing_history/json_reader.h"

namespace writing_history {

namespace {

constexpr int64_t kVersion = 1;
// A target or a day beyond a billion characters is no novel's: such a file was damaged.
constexpr int64_t kLargestFigure = 1'000'000'000;

std::optional<int64_t> IntegerMember(const JsonValue& object, const std::string& name) {
  const JsonValue* member = object.Member(name);
  return member == nullptr ? std::nullopt : member->Integer();
}

}  // namespace

std::string DayLine(DayNumber day, const DayTotals& totals) {
  return "{\"date\": \"" + DayText(day) + "\", \"characters\": " +
         std::to_string(totals.characters) + ", \"minutes\": " + std::to_string(totals.minutes) +
         "}";
}

std::string HistoryToJson(const History& history) {
  std::string json = "{\n  \"version\": " + std::to_string(kVersion) +
                     ",\n  \"target\": " + std::to_string(history.target()) + ",\n  \"days\": [";
  const char* separator = "\n    ";
  for (const auto& [day, totals] : history.days()) {
    json += separator + DayLine(day, totals);
    separator = ",\n    ";
  }
  json += history.days().empty() ? "]\n}\n" : "\n  ]\n}\n";
  return json;
}

std::optional<History> HistoryFromJson(std::string_view json) {
  const std::optional<JsonValue> document = ParseJson(json);
  if (!document || document->kind != JsonValue::Kind::kObject) return std::nullopt;
  const std::optional<int64_t> version = IntegerMember(*document, "version");
  const std::optional<int64_t> target = IntegerMember(*document, "target");
  const JsonValue* days = document->Member("days");
  if (version != kVersion || !target || *target < 0 || *target > kLargestFigure ||
      days == nullptr || days->kind != JsonValue::Kind::kArray)
    return std::nullopt;
  History history;
  history.set_target(*target);
  for (const JsonValue& entry : days->array) {
    const JsonValue* date = entry.Member("date");
    if (date == nullptr || date->kind != JsonValue::Kind::kString) return std::nullopt;
    const std::optional<DayNumber> day = ParseDayText(date->string);
    const std::optional<int64_t> characters = IntegerMember(entry, "characters");
    const std::optional<int64_t> minutes = IntegerMember(entry, "minutes");
    if (!day || !characters || !minutes || history.days().contains(*day) ||
        *characters < -kLargestFigure || *characters > kLargestFigure || *minutes < 0 ||
        *minutes > History::kMinutesInADay)
      return std::nullopt;
    history.SetDay(*day, {*characters, static_cast<int32_t>(*minutes)});
  }
  return history;
}

}  // namespace writing_history
