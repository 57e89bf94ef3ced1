// The history file's JSON, read by our own reader and written by our own writer.
#include <gtest/gtest.h>

#include <string>

#include "writing_history/history_json.h"
#include "writing_history/json_reader.h"

namespace writing_history {
namespace {

TEST(JsonReader, ReadsWhatJsonAllowsAndNothingElse) {
  const struct {
    std::string text;
    bool valid;
  } cases[] = {
      {R"({"a": [1, -2.5e3, true, false, null, "x"]})", true},
      {" [ ] ", true},
      {R"("\u4eca\u65e5 \ud83d\ude00 \n")", true},
      {"", false},
      {"{", false},
      {"[1,]", false},
      {"{\"a\" 1}", false},
      {"01", false},
      {"1.", false},
      {"-", false},
      {"1e999", false},           // not a finite number
      {"\"\\ud83d\"", false},     // half a surrogate pair
      {"\"tab\there\"", false},   // a control character inside a string
      {"\"\\x\"", false},
      {"[1] 2", false},
      {"tru", false},
      {std::string(100, '['), false},  // deeper than anything we write
  };
  for (const auto& c : cases) EXPECT_EQ(ParseJson(c.text).has_value(), c.valid) << c.text;
}

TEST(JsonReader, ResolvesEscapesToUtf8AndKeepsNumbers) {
  const auto value = ParseJson(R"({"s": "\u4eca\u65e5\ud83d\ude00\"", "n": -12, "f": 0.5})");
  ASSERT_TRUE(value);
  EXPECT_EQ(value->Member("s")->string, "今日😀\"");
  EXPECT_EQ(value->Member("n")->Integer(), -12);
  EXPECT_FALSE(value->Member("f")->Integer());
  EXPECT_EQ(value->Member("missing"), nullptr);
}

TEST(HistoryJson, ARoundTripKeepsEveryDayAndTheTarget) {
  History history;
  history.set_target(4000);
  history.AddCharacters(DayNumberOf(2026, 12, 8), 5120);
  history.AddMinute(DayNumberOf(2026, 12, 8));
  history.AddCharacters(DayNumberOf(2026, 12, 9), -40);
  const std::string json = HistoryToJson(history);
  EXPECT_NE(json.find("{\"date\": \"2026-12-08\", \"characters\": 5120, \"minutes\": 1}"),
            std::string::npos)
      << json;
  EXPECT_EQ(HistoryFromJson(json), history);
  EXPECT_EQ(HistoryFromJson(HistoryToJson(History{})), History{});
}

TEST(HistoryJson, RefusesAFileItCannotFullyTrust) {
  const char* refused[] = {
      "",
      "[]",
      R"({"version": 2, "target": 0, "days": []})",
      R"({"version": 1, "days": []})",
      R"({"version": 1, "target": -5, "days": []})",
      R"({"version": 1, "target": 0, "days": {}})",
      R"({"version": 1, "target": 0, "days": [{"date": "2026-02-30", "characters": 1, "minutes": 1}]})",
      R"({"version": 1, "target": 0, "days": [{"date": "2026-2-3", "characters": 1, "minutes": 1}]})",
      R"({"version": 1, "target": 0, "days": [{"date": "2026-12-09", "characters": 1.5, "minutes": 1}]})",
      R"({"version": 1, "target": 0, "days": [{"date": "2026-12-09", "characters": 1, "minutes": 1441}]})",
      R"({"version": 1, "target": 0, "days": [{"date": "2026-12-09", "characters": 1, "minutes": 1},
                                              {"date": "2026-12-09", "characters": 2, "minutes": 1}]})",
      R"({"version": 1, "target": 0, "days": [{"date": "2026-12-09", "minutes": 1}]})",
  };
  for (const char* json : refused) EXPECT_FALSE(HistoryFromJson(json)) << json;
}

}  // namespace
}  // namespace writing_history
