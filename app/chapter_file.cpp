#include "app/chapter_file.h"

#include <string>

#include "app/desk_texts.h"
#include "app/gate_calls.h"
#include "app/main_window_ids.h"

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

void WriteChapterFile(std::string_view name) {
  if (HoldsPathSeparator(name)) return;
  const runtime::Text path(InProgramFolder(texts::kChapterFilePrefix + std::string(name) + texts::kChapterFileSuffix));
  const runtime::Text content = ReadText(unit::kTextBox, property::kContent);
  const runtime::ByteSet bytes = runtime::ByteSet::FromResult(Core(libraries::kToByteSet, {content.Arg()}));
  Core(libraries::kWriteBytesToFile, {path.Arg(), bytes.Arg()});
}

}  // namespace app
