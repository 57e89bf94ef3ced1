#include "units/commondlg/common_dialog_class_data.h"

#include "forms/byte_stream.h"

namespace units {

std::optional<CommonDialogClassData> CommonDialogClassData::Read(std::span<const uint8_t> bytes) {
  CommonDialogClassData data;
  if (bytes.empty()) return data;
  forms::ByteReader in(bytes);
  const int32_t version = in.Int32();
  if (!forms::ReadableVersion(version, kVersion)) return std::nullopt;
  data.dialog_type = in.Int32();
  data.filter_index = in.Int32();
  for (bool* flag : {&data.create_prompt, &data.file_must_exist, &data.overwrite_prompt,
                     &data.path_must_exist, &data.keep_current_dir}) {
    *flag = in.Int32() != 0;
  }
  data.font_color = in.UInt32();
  for (bool* flag :
       {&data.font_bold, &data.font_italic, &data.font_strike_out, &data.font_underline}) {
    *flag = in.Int32() != 0;
  }
  data.font_size = in.Int32();
  data.help_command = in.Int32();
  data.help_context = in.Int32();
  for (std::string* text : {&data.title, &data.file_name, &data.filter, &data.initial_dir,
                            &data.default_ext, &data.font_name, &data.help_file}) {
    *text = in.Text();
  }
  if (in.Failed()) return std::nullopt;
  return data;
}

std::vector<uint8_t> CommonDialogClassData::Write() const {
  forms::ByteWriter out;
  out.Int32(kVersion);
  out.Int32(dialog_type);
  out.Int32(filter_index);
  for (bool flag :
       {create_prompt, file_must_exist, overwrite_prompt, path_must_exist, keep_current_dir}) {
    out.Int32(flag ? 1 : 0);
  }
  out.UInt32(font_color);
  for (bool flag : {font_bold, font_italic, font_strike_out, font_underline}) {
    out.Int32(flag ? 1 : 0);
  }
  out.Int32(font_size);
  out.Int32(help_command);
  out.Int32(help_context);
  for (const std::string* text :
       {&title, &file_name, &filter, &initial_dir, &default_ext, &font_name, &help_file}) {
    out.Text(*text);
  }
  return std::move(out.Data());
}

}  // namespace units
