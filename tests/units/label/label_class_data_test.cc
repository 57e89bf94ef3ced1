// The label's class data: what the form tool writes through the codec is what the unit
// reads, and records the unit must not trust are refused.
#include "units/label/label_class_data.h"

#include <gtest/gtest.h>

#include <cstring>

#include "forms/byte_stream.h"
#include "forms/unit_interface.h"
#include "tests/support/class_data_checks.h"
#include "units/label/label_class.h"

namespace {

using units::PropertyMap;

PropertyMap SampleFields() {
  return {{"Caption", std::string("\xD7\xD6\xCA\xFD")},  // 字数 in GBK
          {"Effect", int64_t{3}},
          {"Border", int64_t{6}},
          {"FrameWidth", int64_t{7}},
          {"FrameColor1", int64_t{0x0000FF}},
          {"FrameColor3", int64_t{0x00FF00}},
          {"TextColor", int64_t{0x123456}},
          {"BackColor", int64_t{0xFF000000}},
          {"BackPicture", std::vector<uint8_t>{1, 2, 3}},
          {"BackPictureMode", int64_t{2}},
          {"GradientMode", int64_t{4}},
          {"GradientColor2", int64_t{0xABCDEF}},
          {"Alignment", int64_t{1}},
          {"WordWrap", true},
          {"VerticalAlignment", int64_t{2}},
          {"DataSource", std::string("src")},
          {"DataColumn", std::string("col")}};
}

TEST(LabelClassData, TheCodecRoundTripsEveryField) {
  const units::ClassDataCodec codec = units::LabelClass().codec;
  const auto bytes = codec.encode(SampleFields());
  ASSERT_TRUE(bytes);
  const auto data = units::LabelClassData::Read(*bytes);
  ASSERT_TRUE(data);
  EXPECT_EQ(data->caption, "\xD7\xD6\xCA\xFD");
  EXPECT_EQ(data->effect, 3);
  EXPECT_EQ(data->frame_width, 7);
  EXPECT_EQ(data->frame_colors[0], 0x0000FFu);
  EXPECT_EQ(data->frame_colors[1], units::LabelClassData::kUnusedColor);
  EXPECT_EQ(data->gradient_colors[1], 0xABCDEFu);
  EXPECT_TRUE(data->word_wrap);
  EXPECT_EQ(data->back_picture, (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_EQ(data->data_column, "col");
  // Decoding and encoding again gives the same bytes.
  const auto fields = codec.decode(*bytes);
  ASSERT_TRUE(fields);
  EXPECT_EQ(codec.encode(*fields), bytes);
  // The stream starts with the version, then Effect, FrameWidth, Border.
  forms::ByteReader in(*bytes);
  EXPECT_EQ(in.Int32(), 2);
  EXPECT_EQ(in.Int32(), 3);
  EXPECT_EQ(in.Int32(), 7);
  EXPECT_EQ(in.Int32(), 6);
}

TEST(LabelClassData, UnknownFieldsAndWrongKindsFailTheEncoding) {
  const units::ClassDataCodec codec = units::LabelClass().codec;
  EXPECT_FALSE(codec.encode({{"Colour", int64_t{1}}}));
  EXPECT_FALSE(codec.encode({{"WordWrap", int64_t{1}}}));
  EXPECT_FALSE(codec.encode({{"Caption", int64_t{1}}}));
  EXPECT_EQ(codec.event_names, (std::vector<std::string>{"Feedback"}));
}

TEST(LabelClassData, VersionsAndDamagedRecords) {
  EXPECT_EQ(units::LabelClassData::Read({}), units::LabelClassData{});
  std::vector<uint8_t> bytes = units::LabelClassData{}.Write();
  // Version 1 ends after the caption.
  std::vector<uint8_t> version1(bytes.begin(), bytes.end() - 8);
  version1[0] = 1;
  EXPECT_TRUE(units::LabelClassData::Read(version1));
  // Version 0 is the oldest layout, read as version 1.
  version1[0] = 0;
  EXPECT_TRUE(units::LabelClassData::Read(version1));
  for (int32_t version : {3, -1}) {
    std::vector<uint8_t> copy = bytes;
    std::memcpy(copy.data(), &version, 4);
    EXPECT_FALSE(units::LabelClassData::Read(copy)) << version;
  }
  for (size_t cut : {size_t{3}, size_t{40}, bytes.size() - 1}) {
    EXPECT_FALSE(units::LabelClassData::Read({bytes.data(), cut})) << cut;
  }
  // A record the unit refuses is no unit: create answers null.
  std::vector<uint8_t> future = bytes;
  future[0] = 3;
  unit_tests::ExpectNoUnitFrom(units::LabelClass(), future);
}

TEST(LabelClassData, VisitedTextsAreWrittenBack) {
  const auto visit = forms::UnitOperation<forms::VisitTextsFunction>(
      units::LabelClass().get_unit_interface, forms::unit_op::kVisitTexts);
  ASSERT_NE(visit, nullptr);
  units::LabelClassData data;
  data.caption = "abc";
  data.data_source = "s";
  std::vector<std::string> seen;
  const auto out = visit(
      data.Write(),
      [](std::string& text, bool, void* context) {
        static_cast<std::vector<std::string>*>(context)->push_back(text);
        text += "!";
      },
      &seen);
  ASSERT_TRUE(out);
  EXPECT_EQ(seen, (std::vector<std::string>{"abc", "s", ""}));
  EXPECT_EQ(units::LabelClassData::Read(*out)->caption, "abc!");
}

}  // namespace
