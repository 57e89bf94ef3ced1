// The transparent label's class data: what the form tool writes through the codec is what
// the unit reads, in the stream's order, and records the unit must not trust are refused.
#include "units/translabel/trans_label_class_data.h"

#include <gtest/gtest.h>

#include <cstring>

#include "forms/byte_stream.h"
#include "forms/logical_font.h"
#include "forms/unit_interface.h"
#include "tests/support/class_data_checks.h"
#include "units/translabel/trans_label_class.h"

namespace {

using units::PropertyMap;
using units::TransLabelClassData;

std::vector<uint8_t> SampleFont() {
  forms::LogicalFont font = forms::LogicalFont::Default();
  font.face = "Face";
  return font.Bytes();
}

TEST(TransLabelClassData, TheCodecWritesTheFieldsInStreamOrder) {
  const units::ClassDataCodec codec = units::TransLabelClass().codec;
  const PropertyMap fields = {{"Caption", std::string("\xC8\xD5\xC6\xDA")},  // 日期 in GBK
                              {"Effect", int64_t{2}},
                              {"Font", SampleFont()},
                              {"TextColor", int64_t{0x123456}},
                              {"Alignment", int64_t{1}},
                              {"WordWrap", true},
                              {"VerticalAlignment", int64_t{2}}};
  const auto bytes = codec.encode(fields);
  ASSERT_TRUE(bytes);
  forms::ByteReader in(*bytes);
  EXPECT_EQ(in.Int32(), 1);         // version
  EXPECT_EQ(in.Int32(), 2);         // Effect
  EXPECT_EQ(in.Int32(), 0x123456);  // TextColor
  EXPECT_EQ(in.Int32(), 1);         // Alignment
  EXPECT_EQ(in.Int32(), 2);         // VerticalAlignment
  EXPECT_EQ(in.Int32(), 1);         // WordWrap
  EXPECT_EQ(in.LengthPrefixedBytes(), SampleFont());
  EXPECT_EQ(in.Text(), "\xC8\xD5\xC6\xDA");
  EXPECT_TRUE(in.AtEnd());
  EXPECT_FALSE(in.Failed());
  // Decoding gives the fields back, and encoding them again the same bytes.
  const auto decoded = codec.decode(*bytes);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(codec.encode(*decoded), bytes);
  EXPECT_TRUE(codec.event_names.empty());
  EXPECT_FALSE(codec.encode({{"BackColor", int64_t{1}}})) << "a transparent label has none";
  EXPECT_FALSE(codec.encode({{"WordWrap", int64_t{1}}}));
}

TEST(TransLabelClassData, UnknownVersionsAndEveryShortenedRecordAreRefused) {
  EXPECT_EQ(TransLabelClassData::Read({}), TransLabelClassData{});
  TransLabelClassData sample;
  sample.caption = "abc";
  sample.font = SampleFont();
  const std::vector<uint8_t> bytes = sample.Write();
  EXPECT_EQ(TransLabelClassData::Read(bytes), sample);
  for (int32_t version : {2, -1}) {
    std::vector<uint8_t> copy = bytes;
    std::memcpy(copy.data(), &version, 4);
    EXPECT_FALSE(TransLabelClassData::Read(copy)) << version;
  }
  // Version 0 is the oldest layout, read as version 1.
  std::vector<uint8_t> oldest = bytes;
  oldest[0] = 0;
  EXPECT_TRUE(TransLabelClassData::Read(oldest));
  unit_tests::ExpectEveryCutRefused(TransLabelClassData::Read, bytes);
  // A refused record makes no unit.
  std::vector<uint8_t> future = bytes;
  future[0] = 2;
  unit_tests::ExpectNoUnitFrom(units::TransLabelClass(), future);
}

}  // namespace
