#include "commands/text_commands.h"

#include <cstring>
#include <string>
#include <string_view>

#include "commands/command_arguments.h"
#include "commands/gbk_text.h"
#include "runtime/allocator.h"

namespace commands {

using runtime::ArgCell;

void SpaceText(ArgCell* result, int32_t count, const ArgCell* args) {
  const int32_t spaces = CommandArguments(count, args).Int(0);
  if (spaces < 1) {
    *result = ArgCell::Text(nullptr);
    return;
  }
  // An impossible size (INT32_MAX + 1) is left to the allocator to report.
  auto* text = static_cast<char*>(runtime::AllocBlock(spaces == INT32_MAX ? -1 : spaces + 1));
  std::memset(text, ' ', static_cast<size_t>(spaces));
  text[spaces] = '\0';
  *result = ArgCell::Text(text);
}

void SubstituteText(ArgCell* result, int32_t count, const ArgCell* args) {
  const CommandArguments arguments(count, args);
  Substitution substitution;
  substitution.find = arguments.Text(1);
  substitution.replacement = arguments.OptionalText(2, {});
  substitution.start = arguments.OptionalInt(3, 1);
  substitution.count = arguments.OptionalInt(4, -1);
  substitution.case_sensitive = arguments.OptionalLogical(5, true);
  SetTextResult(result, commands::SubstituteText(arguments.Text(0), substitution));
}

void TextLength(ArgCell* result, int32_t count, const ArgCell* args) {
  *result = ArgCell::Int(static_cast<int32_t>(CommandArguments(count, args).Text(0).size()));
}

void MidText(ArgCell* result, int32_t count, const ArgCell* args) {
  const CommandArguments arguments(count, args);
  SetTextResult(result, commands::MidText(arguments.Text(0), arguments.Int(1), arguments.Int(2)));
}

void CharCode(ArgCell* result, int32_t count, const ArgCell* args) {
  const CommandArguments arguments(count, args);
  *result = ArgCell::Int(commands::CharCode(arguments.TextPointer(0), arguments.OptionalInt(1, 1)));
}

void TrimLeadingSpaces(ArgCell* result, int32_t count, const ArgCell* args) {
  SetTextResult(result, commands::TrimLeadingSpaces(CommandArguments(count, args).Text(0)));
}

void ConcatTexts(ArgCell* result, int32_t count, const ArgCell* args) {
  const CommandArguments arguments(count, args);
  int64_t total = 0;
  for (int32_t i = 0; i < arguments.count(); ++i) total += arguments.Text(i).size();
  auto* text = static_cast<char*>(
      runtime::AllocBlock(total >= INT32_MAX ? -1 : static_cast<int32_t>(total + 1)));
  char* end = text;
  for (int32_t i = 0; i < arguments.count(); ++i) {
    const std::string_view piece = arguments.Text(i);
    if (!piece.empty()) std::memcpy(end, piece.data(), piece.size());
    end += piece.size();
  }
  *end = '\0';
  *result = ArgCell::Text(text);
}

void CompareTexts(ArgCell* result, int32_t count, const ArgCell* args) {
  const CommandArguments arguments(count, args);
  *result = ArgCell::Int(commands::CompareTexts(arguments.Text(0), arguments.Text(1)));
}

}  // namespace commands
