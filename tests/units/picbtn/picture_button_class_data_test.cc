// The picture button's class data: the stream as laid out, what the form tool writes is
// what the unit reads, and records the unit must not trust are refused.
#include "units/picbtn/picture_button_class_data.h"

#include <gtest/gtest.h>

#include <cstring>

#include "forms/byte_stream.h"
#include "forms/unit_interface.h"
#include "tests/support/class_data_checks.h"
#include "tests/support/form_round_trip.h"
#include "units/picbtn/picture_button_class.h"

namespace {

units::PictureButtonClassData Sample() {
  units::PictureButtonClassData data;
  data.toggle_type = 1;
  data.checked = true;
  data.transparent_color = 0x00FFFFFF;
  data.normal_picture = {1, 2, 3};
  data.hot_picture = {4};
  data.pressed_picture = {5, 6};
  data.disabled_picture = {7, 8, 9, 10};
  return data;
}

TEST(PictureButtonClassData, TheStreamIsLaidOutInPropertyOrder) {
  forms::ByteWriter expected;
  for (int32_t word : {1, 1, 1, 0x00FFFFFF}) expected.Int32(word);
  for (const std::vector<uint8_t>& picture :
       {std::vector<uint8_t>{1, 2, 3}, {4}, {5, 6}, {7, 8, 9, 10}}) {
    expected.LengthPrefixedBytes(picture);
  }
  EXPECT_EQ(Sample().Write(), expected.Data());
  EXPECT_EQ(units::PictureButtonClassData::Read(expected.Data()), Sample());
}

TEST(PictureButtonClassData, TheCodecRoundTripsEveryField) {
  const units::ClassDataCodec codec = units::PictureButtonClass().codec;
  const std::vector<uint8_t> bytes = Sample().Write();
  const auto fields = codec.decode(bytes);
  ASSERT_TRUE(fields);
  EXPECT_EQ(fields->size(), 7u);
  EXPECT_EQ(codec.encode(*fields), bytes);
  EXPECT_EQ(codec.event_names, (std::vector<std::string>{"Clicked"}));
  EXPECT_FALSE(codec.encode({{"Checked", int64_t{1}}})) << "a logical is no number";
  EXPECT_FALSE(codec.encode({{"Caption", std::string("x")}}));
}

TEST(PictureButtonClassData, OtherVersionsAndEveryTruncationAreRefused) {
  EXPECT_EQ(units::PictureButtonClassData::Read({}), units::PictureButtonClassData{});
  const std::vector<uint8_t> bytes = Sample().Write();
  for (int32_t version : {2, -1}) {
    std::vector<uint8_t> copy = bytes;
    std::memcpy(copy.data(), &version, 4);
    EXPECT_FALSE(units::PictureButtonClassData::Read(copy)) << version;
  }
  std::vector<uint8_t> oldest = bytes;  // version 0, the oldest layout, reads as version 1
  oldest[0] = 0;
  EXPECT_EQ(units::PictureButtonClassData::Read(oldest), Sample());
  unit_tests::ExpectEveryCutRefused(units::PictureButtonClassData::Read, bytes);
  // A record the unit refuses is no unit.
  std::vector<uint8_t> future = bytes;
  future[0] = 2;
  unit_tests::ExpectNoUnitFrom(units::PictureButtonClass(), future);
}

TEST(PictureButtonClassData, TheTestFormCompilesDumpsAndCompilesToTheSameBytes) {
  const std::string dumped = unit_tests::DumpAfterCompileDumpCompile(
      PICBTN_TEST_DATA, "picbtn_window.json", "picbtn_routines.txt");
  EXPECT_NE(dumped.find("\"class\": \"图形按钮\""), std::string::npos);
  EXPECT_NE(dumped.find("\"TransparentColor\": 16777215"), std::string::npos);
}

}  // namespace
