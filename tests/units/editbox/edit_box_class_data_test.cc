// The edit box's class data (reader, writer, codec), its input-mode conversions and its
// byte positions, without widgets.
#include "units/editbox/edit_box_class_data.h"

#include <gtest/gtest.h>

#include <QString>

#include "forms/byte_stream.h"
#include "forms/logical_font.h"
#include "forms/unit_interface.h"
#include "platform/core/code_page.h"
#include "runtime/gbk_literal.h"
#include "units/editbox/edit_box_class.h"
#include "units/editbox/gbk_positions.h"
#include "units/editbox/input_mode.h"

namespace {

using units::EditBoxClassData;

EditBoxClassData Sample() {
  EditBoxClassData data;
  data.border = 5;
  data.text_color = 0x00112233;
  data.back_color = 0xFF000000;
  data.hide_selection = false;
  data.max_length = 80;
  data.multi_line = true;
  data.scroll_bars = 3;
  data.alignment = 2;
  data.input_mode = 7;
  data.password_char = 0xA1EF;  // a two-byte character
  data.case_conversion = 1;
  data.spin_mode = 2;
  data.spin_min = -5;
  data.spin_max = 5;
  data.sel_start = 3;
  data.sel_length = 4;
  data.font = std::vector<uint8_t>(60, 7);
  data.content = runtime::Gbk("第一章\r\n正文");
  data.data_source = "source";
  data.data_column = "column";
  return data;
}

TEST(EditBoxClassData, WriterAndReaderRoundTrip) {
  const EditBoxClassData data = Sample();
  const std::vector<uint8_t> bytes = data.Write();
  EXPECT_EQ(EditBoxClassData::Read(bytes), data);
  // The password character sits at offset 40 as two bytes, low byte first.
  EXPECT_EQ(bytes[40], 0xEF);
  EXPECT_EQ(bytes[41], 0xA1);
  EXPECT_EQ(EditBoxClassData::Read({}), EditBoxClassData());
}

TEST(EditBoxClassData, VersionsAndShortStreams) {
  std::vector<uint8_t> bytes = Sample().Write();
  bytes[0] = 3;
  EXPECT_FALSE(EditBoxClassData::Read(bytes).has_value());
  bytes[0] = 0xFF;  // a negative version is above every highest
  bytes[3] = 0xFF;
  EXPECT_FALSE(EditBoxClassData::Read(bytes).has_value());
  // Version 1 ends after the content: no data binding. Version 0, the oldest layout,
  // reads as version 1.
  for (const uint8_t version : {1, 0}) {
    bytes = Sample().Write();
    bytes[0] = version;
    bytes.resize(bytes.size() - (4 + 6) * 2);
    const auto old = EditBoxClassData::Read(bytes);
    ASSERT_TRUE(old.has_value()) << int{version};
    EXPECT_EQ(old->content, Sample().content);
    EXPECT_TRUE(old->data_source.empty());
  }
  // Every cut of a stream fails instead of reading past its end.
  const std::vector<uint8_t> whole = Sample().Write();
  for (size_t size = 1; size < whole.size(); ++size) {
    EXPECT_FALSE(EditBoxClassData::Read(std::span(whole).first(size)).has_value()) << size;
  }
}

TEST(EditBoxCodec, FieldsRoundTripThroughTheClassData) {
  const units::ClassDataCodec codec = units::EditBoxClass().codec;
  const std::vector<uint8_t> bytes = Sample().Write();
  const auto fields = codec.decode(bytes);
  ASSERT_TRUE(fields.has_value());
  EXPECT_EQ(fields->size(), 20u);
  const auto encoded = codec.encode(*fields);
  ASSERT_TRUE(encoded.has_value());
  EXPECT_EQ(*encoded, bytes);
  // Named fields start from the defaults; unknown names and wrong kinds fail.
  const auto partial = codec.encode({{"MultiLine", true}, {"PasswordChar", runtime::Gbk("●")}});
  ASSERT_TRUE(partial.has_value());
  const auto decoded = EditBoxClassData::Read(*partial);
  EXPECT_TRUE(decoded->multi_line);
  EXPECT_EQ(units::PasswordCharText(decoded->password_char), runtime::Gbk("●"));
  EXPECT_EQ(decoded->border, EditBoxClassData().border);
  EXPECT_FALSE(codec.encode({{"Colour", int64_t{1}}}).has_value());
  EXPECT_FALSE(codec.encode({{"Content", int64_t{1}}}).has_value());
  EXPECT_EQ(codec.event_names, (std::vector<std::string>{"ContentChanged", "SpinStep"}));
}

// Found by the class-data fuzzer: a stored password word whose high byte is no lead byte
// named no text that wrote it back, so a form dumped and compiled again changed.
TEST(EditBoxClassData, APasswordWordThatIsNoCharacterReadsAsTheCharacterShown) {
  EditBoxClassData data;
  data.password_char = 0x0808;
  const auto back = EditBoxClassData::Read(data.Write());
  ASSERT_TRUE(back);
  EXPECT_EQ(back->password_char, 0x08);
  data.password_char = 0xB0A1;  // a two-byte character keeps its code
  EXPECT_EQ(EditBoxClassData::Read(data.Write())->password_char, 0xB0A1);
}

// The visit hands over every text the box keeps, the font's face marked as one, and
// writes back what the visitor changed.
TEST(EditBoxCodec, VisitedTextsIncludeTheFontFace) {
  const auto visit = forms::UnitOperation<forms::VisitTextsFunction>(
      units::EditBoxClass().get_unit_interface, forms::unit_op::kVisitTexts);
  ASSERT_NE(visit, nullptr);
  EditBoxClassData data = Sample();
  forms::LogicalFont font = forms::LogicalFont::Default();
  font.face = "Face";
  data.font = font.Bytes();
  std::vector<std::string> faces;
  const auto out = visit(
      data.Write(),
      [](std::string& text, bool is_face, void* context) {
        if (is_face) static_cast<std::vector<std::string>*>(context)->push_back(text);
        text += "!";
      },
      &faces);
  ASSERT_TRUE(out);
  EXPECT_EQ(faces, std::vector<std::string>{"Face"});
  const auto back = EditBoxClassData::Read(*out);
  EXPECT_EQ(forms::LogicalFont::FromBytes(back->font)->face, "Face!");
  EXPECT_EQ(back->content, data.content + "!");
}

TEST(EditBoxInputMode, NormalisationTable) {
  struct Case {
    int32_t mode;
    const char* text;
    const char* normalized;
  };
  const Case cases[] = {
      {5, "300", "255"},
      {5, "-4", ""},
      {5, "0", ""},
      {5, "", ""},
      {5, " 42abc", "42"},
      {6, "-40000", "-32768"},
      {7, "3000000000", "2147483647"},
      {8, "99999999999999999999", "9223372036854775807"},
      {8, "-99999999999999999999", "-9223372036854775808"},
      {9, "0.1", "0.1"},
      {9, "abc", ""},
      {10, "1.25", "1.25"},
      {10, "-0", ""},
      {11, "", ""},
      {11, "2013-12-5 9:30", "2013年12月5日9时30分"},
      {3, "1-2", "1-2"},
      {0, "0", "0"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(units::NormalizeForMode(c.mode, runtime::Gbk(c.text)), runtime::Gbk(c.normalized))
        << c.mode << " " << c.text;
  }
}

TEST(EditBoxInputMode, TypedCharacters) {
  EXPECT_FALSE(units::AcceptsTypedCharacter(3, 'a'));
  EXPECT_TRUE(units::AcceptsTypedCharacter(3, '-'));
  EXPECT_FALSE(units::AcceptsTypedCharacter(5, '-'));
  EXPECT_TRUE(units::AcceptsTypedCharacter(4, '.'));
  EXPECT_FALSE(units::AcceptsTypedCharacter(7, '.'));
  EXPECT_FALSE(units::AcceptsTypedCharacter(10, 0xD6D0));  // 中
  EXPECT_TRUE(units::AcceptsTypedCharacter(10, '\b'));     // editing keys always pass
  EXPECT_TRUE(units::AcceptsTypedCharacter(11, 'a'));
  EXPECT_TRUE(units::AcceptsTypedCharacter(0, 0xD6D0));
}

TEST(EditBoxPositions, BytesOfCharactersInAndOutsideGbk) {
  const units::GbkPositions lines{true};
  const QString text = QString::fromUtf8("a中\n€😀b");
  // a 1, 中 2, \r\n 2, € 1, 😀 4 (GB18030), b 1
  EXPECT_EQ(lines.ByteLength(text), 11);
  EXPECT_EQ(lines.Encode(text).size(), 11u);
  EXPECT_EQ(lines.IndexOfOffset(text, 2), 1);  // inside 中: its start
  EXPECT_EQ(lines.IndexOfOffset(text, 3), 2);  // the line break
  EXPECT_EQ(lines.IndexOfOffset(text, 6), 4);  // the emoji, two UTF-16 units
  EXPECT_EQ(lines.IndexOfOffset(text, 10), 6);
  EXPECT_EQ(lines.IndexOfOffset(text, 99), 7);
  EXPECT_EQ(lines.Decode(lines.Encode(text)), text);
  EXPECT_EQ(units::GbkPositions{false}.ByteLength(text), 10);
}

TEST(EditBoxPositions, TableEncodingMatchesThePlatformConverter) {
  QString text = QString::fromUtf8("天地€ 한글 ÄÖ ㈠ 〇 𠀀😀 ·—…");
  text += QChar(0xD800);  // a lone surrogate
  text += QChar(0xE000);  // private use
  const std::u16string utf16 = text.toStdU16String();
  const std::string expected = platform::Utf16ToGbk(utf16);
  const units::GbkPositions plain{false};
  EXPECT_EQ(plain.Encode(text), expected);
  EXPECT_EQ(plain.ByteLength(text), static_cast<int64_t>(expected.size()));
}

// Every character of the basic plane, each as the converter writes it alone: a table made
// from one conversion of them all must not lose its place on any of them.
TEST(EditBoxPositions, EveryBasicPlaneCharacterIsEncodedAsTheConverterEncodesItAlone) {
  QString all;
  std::string expected;
  for (char32_t c = 1; c < 0x10000; ++c) {
    if (c >= 0xD800 && c <= 0xDFFF) continue;
    all += QChar(static_cast<char16_t>(c));
    expected += platform::Utf16ToGbk(std::u16string(1, static_cast<char16_t>(c)));
  }
  const units::GbkPositions plain{false};
  const std::string encoded = plain.Encode(all);
  ASSERT_EQ(encoded.size(), expected.size());
  EXPECT_TRUE(encoded == expected);  // (not printed: 200,000 bytes)
  EXPECT_EQ(plain.Encode(QString::fromUtf8("，！？：；（）")), platform::Utf8ToGbk("，！？：；（）"));
}

}  // namespace
