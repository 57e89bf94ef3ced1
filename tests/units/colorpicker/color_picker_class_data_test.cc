// The colour picker's class data: the stream as laid out, what the form tool writes is
// what the unit reads, and records the unit must not trust are refused.
#include "units/colorpicker/color_picker_class_data.h"

#include <gtest/gtest.h>

#include <cstring>

#include "forms/byte_stream.h"
#include "forms/unit_interface.h"
#include "tests/support/class_data_checks.h"
#include "tests/support/form_round_trip.h"
#include "units/colorpicker/color_picker_class.h"

namespace {

units::ColorPickerClassData Sample() {
  units::ColorPickerClassData data;
  data.current_color = 0x00C06000;
  data.allow_transparent = true;
  return data;
}

TEST(ColorPickerClassData, TheStreamIsVersionColourThenTransparency) {
  forms::ByteWriter expected;
  for (int32_t word : {1, 0x00C06000, 1}) expected.Int32(word);
  EXPECT_EQ(Sample().Write(), expected.Data());
  EXPECT_EQ(units::ColorPickerClassData::Read(expected.Data()), Sample());
}

TEST(ColorPickerClassData, TheCodecRoundTripsEveryField) {
  const units::ClassDataCodec codec = units::ColorPickerClass().codec;
  const std::vector<uint8_t> bytes = Sample().Write();
  const auto fields = codec.decode(bytes);
  ASSERT_TRUE(fields);
  EXPECT_EQ(fields->size(), 2u);
  EXPECT_EQ(codec.encode(*fields), bytes);
  EXPECT_EQ(codec.event_names, (std::vector<std::string>{"ColorChanged"}));
  EXPECT_FALSE(codec.encode({{"AllowTransparent", int64_t{1}}})) << "a logical is no number";
  EXPECT_FALSE(codec.encode({{"Caption", std::string("x")}}));
}

TEST(ColorPickerClassData, OtherVersionsAndEveryTruncationAreRefused) {
  EXPECT_EQ(units::ColorPickerClassData::Read({}), units::ColorPickerClassData{});
  const std::vector<uint8_t> bytes = Sample().Write();
  for (int32_t version : {2, -1}) {
    std::vector<uint8_t> copy = bytes;
    std::memcpy(copy.data(), &version, 4);
    EXPECT_FALSE(units::ColorPickerClassData::Read(copy)) << version;
  }
  std::vector<uint8_t> oldest = bytes;  // version 0, the oldest layout, reads as version 1
  oldest[0] = 0;
  EXPECT_EQ(units::ColorPickerClassData::Read(oldest), Sample());
  unit_tests::ExpectEveryCutRefused(units::ColorPickerClassData::Read, bytes);
  // A record the unit refuses is no unit.
  std::vector<uint8_t> future = bytes;
  future[0] = 2;
  unit_tests::ExpectNoUnitFrom(units::ColorPickerClass(), future);
}

TEST(ColorPickerClassData, TheTestFormCompilesDumpsAndCompilesToTheSameBytes) {
  const std::string dumped = unit_tests::DumpAfterCompileDumpCompile(
      COLORPICKER_TEST_DATA, "colorpicker_window.json", "colorpicker_routines.txt");
  EXPECT_NE(dumped.find("\"class\": \"颜色选择器\""), std::string::npos);
  EXPECT_NE(dumped.find("\"CurrentColor\": 4278190080"), std::string::npos);
  EXPECT_NE(dumped.find("\"AllowTransparent\": true"), std::string::npos);
}

}  // namespace
