#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace units {

// The common dialog's own data, in stream order (little-endian 32-bit words, then texts as
// a 32-bit length and that many GBK bytes):
//   version (1), DialogType, FilterIndex, CreatePrompt, FileMustExist, OverwritePrompt,
//   PathMustExist, KeepCurrentDir, FontColor, FontBold, FontItalic, FontStrikeOut,
//   FontUnderline, FontSize, HelpCommand, HelpContext,
//   Title, FileName, Filter, InitialDir, DefaultExt, FontName, HelpFile.
struct CommonDialogClassData {
  static constexpr int32_t kVersion = 1;

  static constexpr int32_t kOpenFile = 0;
  static constexpr int32_t kSaveFile = 1;
  static constexpr int32_t kFont = 2;
  static constexpr int32_t kHelp = 3;

  int32_t dialog_type = kOpenFile;
  int32_t filter_index = 0;
  bool create_prompt = false;
  bool file_must_exist = true;
  bool overwrite_prompt = true;
  bool path_must_exist = true;
  bool keep_current_dir = false;
  uint32_t font_color = 0;
  bool font_bold = false;
  bool font_italic = false;
  bool font_strike_out = false;
  bool font_underline = false;
  int32_t font_size = 0;
  int32_t help_command = 0;
  int32_t help_context = 0;
  std::string title;
  std::string file_name;
  std::string filter;
  std::string initial_dir;
  std::string default_ext;
  std::string font_name;
  std::string help_file;

  // Empty data gives the defaults (the three "must exist / prompt" checks on); nothing for
  // an unknown version or a short stream.
  static std::optional<CommonDialogClassData> Read(std::span<const uint8_t> data);
  std::vector<uint8_t> Write() const;

  bool operator==(const CommonDialogClassData&) const = default;
};

}  // namespace units
