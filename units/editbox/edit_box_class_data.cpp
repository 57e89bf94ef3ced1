#include "units/editbox/edit_box_class_data.h"

#include "forms/byte_stream.h"

namespace units {

std::optional<EditBoxClassData> EditBoxClassData::Read(std::span<const uint8_t> bytes) {
  EditBoxClassData data;
  if (bytes.empty()) return data;
  forms::ByteReader in(bytes);
  const int32_t version = in.Int32();
  if (!forms::ReadableVersion(version, kVersion)) return std::nullopt;
  data.border = in.Int32();
  data.text_color = in.UInt32();
  data.back_color = in.UInt32();
  data.hide_selection = in.Int32() != 0;
  data.max_length = in.Int32();
  data.multi_line = in.Int32() != 0;
  data.scroll_bars = in.Int32();
  data.alignment = in.Int32();
  data.input_mode = in.Int32();
  const std::vector<uint8_t> password = in.Bytes(2);
  if (password.size() == 2) {
    // A stored word that is no character (a second byte without a lead byte before it)
    // is read as the character the box shows for it, so that every stored value has a
    // text form that names it again.
    data.password_char = PasswordCharOfText(
        PasswordCharText(static_cast<uint16_t>(password[0] | (password[1] << 8))));
  }
  data.case_conversion = in.Int32();
  data.spin_mode = in.Int32();
  data.spin_min = in.Int32();
  data.spin_max = in.Int32();
  data.sel_start = in.Int32();
  data.sel_length = in.Int32();
  data.font = in.LengthPrefixedBytes();
  data.content = in.Text();
  if (version >= 2) {
    data.data_source = in.Text();
    data.data_column = in.Text();
  }
  if (in.Failed()) return std::nullopt;
  return data;
}

std::vector<uint8_t> EditBoxClassData::Write() const {
  forms::ByteWriter out;
  out.Int32(kVersion);
  for (int32_t word : {border, static_cast<int32_t>(text_color), static_cast<int32_t>(back_color),
                       int32_t{hide_selection}, max_length, int32_t{multi_line}, scroll_bars,
                       alignment, input_mode}) {
    out.Int32(word);
  }
  const uint8_t password[2] = {static_cast<uint8_t>(password_char & 0xFF),
                               static_cast<uint8_t>(password_char >> 8)};
  out.Bytes(password);
  for (int32_t word : {case_conversion, spin_mode, spin_min, spin_max, sel_start, sel_length}) {
    out.Int32(word);
  }
  out.LengthPrefixedBytes(font);
  out.Text(content);
  out.Text(data_source);
  out.Text(data_column);
  return std::move(out.Data());
}

std::string PasswordCharText(uint16_t code) {
  if (code == 0) return {};
  if (code < 0x100) return std::string(1, static_cast<char>(code));
  return {static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
}

uint16_t PasswordCharOfText(const std::string& gbk) {
  if (gbk.empty()) return 0;
  const auto lead = static_cast<uint8_t>(gbk[0]);
  if (lead >= 0x81 && lead != 0xFF && gbk.size() >= 2) {
    return static_cast<uint16_t>((lead << 8) | static_cast<uint8_t>(gbk[1]));
  }
  return lead;
}

}  // namespace units
