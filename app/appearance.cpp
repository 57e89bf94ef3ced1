#include "app/appearance.h"

#include <string>

#include "app/desk_texts.h"
#include "app/gate_calls.h"
#include "app/main_window_ids.h"
#include "libraries/library_notify.h"
#include "runtime/gates.h"

namespace app {

namespace {

using runtime::ArgCell;

void OpenWebPage(const runtime::Text& address) {
  runtime::CallLibraryCommand(libraries::AppInterfaceCommand(), {address.Arg()});
}

// One member of the text box's font from one of the dialog's results.
void CopyFontResult(int32_t result, int32_t member) {
  const ArgCell value = runtime::ReadUnitProperty(kMainWindow, unit::kFontDialog, result, -1);
  runtime::WriteUnitProperty(kMainWindow, unit::kTextBox, property::kFont, member, value);
  if (value.type == runtime::kText) runtime::FreeBlock(value.AsPointer<void>());
}

}  // namespace

std::string EncodeSearchWords(std::string_view gbk_words) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  for (const char c : gbk_words) {
    const auto byte = static_cast<unsigned char>(c);
    const bool unreserved = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                            (byte >= '0' && byte <= '9') || byte == '-' || byte == '_' || byte == '.' || byte == '~';
    if (unreserved) {
      encoded += c;
    } else {
      encoded += '%';
      encoded += kHex[byte >> 4];
      encoded += kHex[byte & 0x0F];
    }
  }
  return encoded;
}

void ApplyBackColor() {
  WriteInt(unit::kTextBox, property::kBackColor, ReadInt(unit::kBackColorPicker, property::kCurrentColor));
}

void ApplyTextColor() {
  WriteInt(unit::kTextBox, property::kTextColor, ReadInt(unit::kTextColorPicker, property::kCurrentColor));
}

void ChooseFont() {
  Core(libraries::kOpen, {CommonDialogRef(unit::kFontDialog)});
  CopyFontResult(property::kFontName, property::kFontMemberFace);
  CopyFontResult(property::kFontSize, property::kFontMemberSize);
  CopyFontResult(property::kFontStrikeOut, property::kFontMemberStrikeOut);
  CopyFontResult(property::kFontUnderline, property::kFontMemberUnderline);
  CopyFontResult(property::kFontBold, property::kFontMemberBold);
}

void SearchTheWeb() {
  const runtime::Text address(texts::kWebSearchAddress);
  // The words as a search form sends them: "A&B" or "C++" must reach the page whole.
  const runtime::Text words(EncodeSearchWords(ReadText(unit::kSearchBox, property::kContent).View()));
  OpenWebPage(CoreText(libraries::kConcatTexts, {address.Arg(), words.Arg()}));
}

void OpenForum() { OpenWebPage(runtime::Text(texts::kForumAddress)); }

}  // namespace app
