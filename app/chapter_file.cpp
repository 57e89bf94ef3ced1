#include "app/chapter_file.h"

#include <string>

#include "app/desk_texts.h"
#include "app/gate_calls.h"
#include "app/main_window_ids.h"
#include "platform/core/native_path.h"

namespace app {

bool HoldsPathSeparator(std::string_view name) {
  for (size_t i = 0; i < name.size(); ++i) {
    const auto byte = static_cast<unsigned char>(name[i]);
    if (byte == '/' || byte == '\\') return true;
    // A lead byte's trail byte may be 0x5C ("\"); it is part of the character.
    if (byte >= 0x81 && byte <= 0xFE && i + 1 < name.size()) ++i;
  }
  return false;
}

std::string FittedChapterFileName(std::string_view name, std::string_view suffix) {
  const auto fits = [suffix](const std::string& stem) {
    return platform::NativeNameLength(stem + std::string(suffix) + texts::kChapterFileSuffix) <=
           platform::kLongestNativeName;
  };
  if (fits(std::string(name))) return std::string(name);
  // Whole characters only: a lead byte (0x81-0xFE) takes its trail byte with it.
  std::string fitted;
  for (size_t i = 0; i < name.size();) {
    const auto byte = static_cast<unsigned char>(name[i]);
    size_t length = byte >= 0x81 && byte <= 0xFE && i + 1 < name.size() ? 2 : 1;
    // A four-byte GB18030 character: lead, digit, lead, digit.
    if (length == 2 && name[i + 1] >= '0' && name[i + 1] <= '9' && i + 3 < name.size()) length = 4;
    const std::string longer = fitted + std::string(name.substr(i, length));
    if (!fits(longer)) break;
    fitted = longer;
    i += length;
  }
  return fitted;
}

std::string ChapterFileStem(std::string_view name, int32_t record) {
  if (HoldsPathSeparator(name)) return {};
  const std::string number = std::to_string(record);
  if (name.empty()) return texts::kUnnamedChapterStem + number + texts::kUnnamedChapterStemEnd;
  const std::string whole = FittedChapterFileName(name);
  if (whole.size() == name.size()) return whole;
  const std::string suffix = texts::kCutNameMark + number;
  return FittedChapterFileName(name, suffix) + suffix;
}

void WriteChapterFile(std::string_view name, int32_t record) {
  const std::string stem = ChapterFileStem(name, record);
  if (stem.empty() || record == 0) return;
  const runtime::Text path(
      InProgramFolder(texts::kChapterFilePrefix + stem + texts::kChapterFileSuffix));
  const runtime::Text content = ReadText(unit::kTextBox, property::kContent);
  const runtime::ByteSet bytes =
      runtime::ByteSet::FromResult(Core(libraries::kToByteSet, {content.Arg()}));
  Core(libraries::kWriteBytesToFile, {path.Arg(), bytes.Arg()});
}

}  // namespace app
