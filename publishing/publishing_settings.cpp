#include "publishing/publishing_settings.h"

#include <charconv>

namespace publishing {

namespace {

constexpr std::string_view kBlankLinesRemove = "remove";
constexpr std::string_view kBlankLinesOneBetween = "one-between";
// Enough for any chapter; a larger figure is taken as a mistake and passed over.
constexpr int64_t kLargestMinimum = 100'000'000;

std::string_view Trimmed(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

void ReadSwitch(std::string_view value, bool* setting) {
  if (value == "1") *setting = true;
  if (value == "0") *setting = false;
}

void ReadSetting(std::string_view key, std::string_view value, PublishingSettings* settings) {
  TypesettingSettings& typesetting = settings->typesetting;
  if (key == "indent") return ReadSwitch(value, &typesetting.indent);
  if (key == "full-width-punctuation")
    return ReadSwitch(value, &typesetting.full_width_punctuation);
  if (key == "ellipsis") return ReadSwitch(value, &typesetting.ellipsis);
  if (key == "dash") return ReadSwitch(value, &typesetting.dash);
  if (key == "name-as-first-line") return ReadSwitch(value, &settings->name_as_first_line);
  if (key == "blank-lines") {
    if (value == kBlankLinesRemove) typesetting.blank_lines = BlankLines::kRemove;
    if (value == kBlankLinesOneBetween) typesetting.blank_lines = BlankLines::kOneBetweenParagraphs;
    return;
  }
  if (key == "count-rule") {
    if (const std::optional<CountRule> rule = ParseCountRule(value)) settings->count_rule = *rule;
    return;
  }
  if (key == "minimum-characters") {
    int64_t number = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
    if (error == std::errc() && end == value.data() + value.size() && number >= 0 &&
        number <= kLargestMinimum) {
      settings->minimum_characters = number;
    }
  }
}

const char* Switch(bool on) { return on ? "1" : "0"; }

}  // namespace

PublishingSettings ParsePublishingSettings(std::string_view file_text) {
  PublishingSettings settings;
  if (file_text.starts_with("\xEF\xBB\xBF")) file_text.remove_prefix(3);  // an editor's BOM
  while (!file_text.empty()) {
    const size_t end = file_text.find('\n');
    const std::string_view line = file_text.substr(0, end);
    file_text = end == std::string_view::npos ? std::string_view() : file_text.substr(end + 1);
    const size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    ReadSetting(Trimmed(line.substr(0, equals)), Trimmed(line.substr(equals + 1)), &settings);
  }
  return settings;
}

std::string FormatPublishingSettings(const PublishingSettings& settings) {
  const TypesettingSettings& typesetting = settings.typesetting;
  std::string text;
  text += std::string("indent=") + Switch(typesetting.indent) + "\n";
  text += "blank-lines=" +
          std::string(typesetting.blank_lines == BlankLines::kRemove ? kBlankLinesRemove
                                                                     : kBlankLinesOneBetween) +
          "\n";
  text +=
      std::string("full-width-punctuation=") + Switch(typesetting.full_width_punctuation) + "\n";
  text += std::string("ellipsis=") + Switch(typesetting.ellipsis) + "\n";
  text += std::string("dash=") + Switch(typesetting.dash) + "\n";
  text += "count-rule=" + std::string(CountRuleKey(settings.count_rule)) + "\n";
  text += "minimum-characters=" + std::to_string(settings.minimum_characters) + "\n";
  text += std::string("name-as-first-line=") + Switch(settings.name_as_first_line) + "\n";
  return text;
}

}  // namespace publishing
