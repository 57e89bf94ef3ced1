// The super button's class data: both versions read, version 2 written, what the form
// tool writes is what the unit reads, and records the unit must not trust are refused.
#include "units/superbtn/super_button_class_data.h"

#include <gtest/gtest.h>

#include <cstring>

#include "forms/byte_stream.h"
#include "forms/unit_interface.h"
#include "tests/support/class_data_checks.h"
#include "tests/support/form_round_trip.h"
#include "units/superbtn/super_button_class.h"

namespace {

// A version 1 record written word by word, as the layout lists the fields.
std::vector<uint8_t> VersionOneRecord() {
  forms::ByteWriter out;
  // version, ButtonStyle, CheckStyle, Checked, PicturePosition, PressOffset, HotFrame,
  // FlatFocusRect, the colours of HotPicture and Picture, UseSystemColors, BuiltInSound,
  // DefaultButton
  for (int32_t word : {1, 2, 1, 1, 3, 1, 1, 1, 0x00FF00FF, 0x00010203, 1, 1, 1}) out.Int32(word);
  for (uint32_t color : {0x11u, 0x22u, 0x33u, 0x44u, 0x55u, 0x66u}) out.UInt32(color);
  out.LengthPrefixedBytes(std::vector<uint8_t>{'h'});       // HotPicture
  out.LengthPrefixedBytes(std::vector<uint8_t>{'p', 'p'});  // Picture
  out.LengthPrefixedBytes(std::vector<uint8_t>(60, 0));     // Font
  out.LengthPrefixedBytes(std::vector<uint8_t>{'v'});       // HoverSound
  out.LengthPrefixedBytes(std::vector<uint8_t>{'c'});       // ClickSound
  out.Text("OK");
  out.Text("tip");
  return std::move(out.Data());
}

TEST(SuperButtonClassData, VersionOneReadsAndIsWrittenBackAsVersionTwo) {
  const std::vector<uint8_t> v1 = VersionOneRecord();
  const auto data = units::SuperButtonClassData::Read(v1);
  ASSERT_TRUE(data);
  EXPECT_EQ(data->button_style, 2);
  EXPECT_TRUE(data->check_style && data->checked && data->hot_frame && data->flat_focus_rect);
  EXPECT_EQ(data->picture_position, 3);
  EXPECT_EQ(data->hot_picture_color, 0x00FF00FFu);
  EXPECT_EQ(data->picture_color, 0x00010203u);
  EXPECT_EQ(data->back_color1, 0x22u);
  EXPECT_EQ(data->text_color3, 0x55u);
  EXPECT_EQ(data->hot_picture, (std::vector<uint8_t>{'h'}));
  EXPECT_EQ(data->picture, (std::vector<uint8_t>{'p', 'p'}));
  EXPECT_EQ(data->click_sound, (std::vector<uint8_t>{'c'}));
  EXPECT_EQ(data->tool_tip, "tip");
  EXPECT_TRUE(data->disabled_picture.empty());

  // Version 2: the same words and sets, then DisabledPicture's colour (the top-left
  // pixel's) and an empty DisabledPicture.
  forms::ByteWriter expected;
  expected.Int32(2);
  std::vector<uint8_t> v2 = expected.Data();
  v2.insert(v2.end(), v1.begin() + 4, v1.end());
  for (uint8_t byte : {0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0x00}) v2.push_back(byte);
  EXPECT_EQ(data->Write(), v2);
  EXPECT_EQ(units::SuperButtonClassData::Read(v2), data);
}

TEST(SuperButtonClassData, OtherVersionsAndEveryTruncationAreRefused) {
  units::SuperButtonClassData sample;
  sample.disabled_picture = {1, 2};
  const std::vector<uint8_t> v2 = sample.Write();
  const std::vector<uint8_t> v1 = VersionOneRecord();
  for (const std::vector<uint8_t>* bytes : {&v1, &v2}) {
    unit_tests::ExpectEveryCutRefused(units::SuperButtonClassData::Read, *bytes);
  }
  for (int32_t version : {3, -1}) {
    std::vector<uint8_t> copy = v2;
    std::memcpy(copy.data(), &version, 4);
    EXPECT_FALSE(units::SuperButtonClassData::Read(copy)) << version;
  }
  std::vector<uint8_t> oldest = v2;  // version 0, the oldest layout, reads as version 1
  oldest[0] = 0;
  EXPECT_TRUE(units::SuperButtonClassData::Read(oldest));
  const std::vector<uint8_t> short_record(v2.begin(), v2.end() - 1);
  unit_tests::ExpectNoUnitFrom(units::SuperButtonClass(), short_record);
}

TEST(SuperButtonClassData, ANewButtonIsCaptionedAndTheCodecRoundTrips) {
  const auto fresh = units::SuperButtonClassData::Read({});
  ASSERT_TRUE(fresh);
  EXPECT_EQ(fresh->caption, "\xB3\xAC\xBC\xB6\xB0\xB4\xC5\xA5");  // 超级按钮 in GBK

  const units::ClassDataCodec codec = units::SuperButtonClass().codec;
  const std::vector<uint8_t> bytes = units::SuperButtonClassData::Read(VersionOneRecord())->Write();
  const auto fields = codec.decode(bytes);
  ASSERT_TRUE(fields);
  EXPECT_EQ(fields->size(), 27u);
  EXPECT_EQ(codec.encode(*fields), bytes);
  EXPECT_EQ(codec.event_names, (std::vector<std::string>{"Clicked"}));
  EXPECT_EQ(units::SuperButtonClass().property_count, 35);
  // The six colours are told apart by their names in a form.
  const auto colours = codec.encode({{"ColorPair2Back", int64_t{0x123456}}});
  ASSERT_TRUE(colours);
  EXPECT_EQ(units::SuperButtonClassData::Read(*colours)->back_color2, 0x123456u);
}

TEST(SuperButtonClassData, TheTestFormCompilesDumpsAndCompilesToTheSameBytes) {
  const std::string dumped = unit_tests::DumpAfterCompileDumpCompile(
      SUPERBTN_TEST_DATA, "superbtn_window.json", "superbtn_routines.txt");
  EXPECT_NE(dumped.find("\"class\": \"超级按钮\""), std::string::npos);
  EXPECT_NE(dumped.find("\"Caption\": \"超级按钮\""), std::string::npos);
}

}  // namespace
