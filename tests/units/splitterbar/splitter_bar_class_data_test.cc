// The splitter bar's class data: the codec writes version, BackColor and Orientation in
// that order, and records the unit must not trust are refused.
#include "units/splitterbar/splitter_bar_class_data.h"

#include <gtest/gtest.h>

#include <cstring>

#include "forms/byte_stream.h"
#include "forms/unit_interface.h"
#include "tests/support/class_data_checks.h"
#include "units/splitterbar/splitter_bar_class.h"

namespace {

using units::SplitterBarClassData;

TEST(SplitterBarClassData, TheCodecWritesTheFieldsInStreamOrder) {
  const units::ClassDataCodec codec = units::SplitterBarClass().codec;
  const auto bytes =
      codec.encode({{"BackColor", int64_t{0x00C0FFEE}}, {"Orientation", int64_t{1}}});
  ASSERT_TRUE(bytes);
  forms::ByteReader in(*bytes);
  EXPECT_EQ(in.Int32(), 1);
  EXPECT_EQ(in.Int32(), 0x00C0FFEE);
  EXPECT_EQ(in.Int32(), 1);
  EXPECT_TRUE(in.AtEnd());
  const auto decoded = codec.decode(*bytes);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(codec.encode(*decoded), bytes);
  EXPECT_EQ(codec.event_names, (std::vector<std::string>{"PositionChanged"}));
  EXPECT_FALSE(codec.encode({{"Orientation", true}}));
}

TEST(SplitterBarClassData, UnknownVersionsAndEveryShortenedRecordAreRefused) {
  // No data: the button face and a horizontal bar.
  const auto defaults = SplitterBarClassData::Read({});
  ASSERT_TRUE(defaults);
  EXPECT_EQ(defaults->back_color, 0xFF000000u);
  EXPECT_EQ(defaults->orientation, SplitterBarClassData::kHorizontal);
  const std::vector<uint8_t> bytes = SplitterBarClassData{0x123456, 1}.Write();
  EXPECT_EQ(SplitterBarClassData::Read(bytes), (SplitterBarClassData{0x123456, 1}));
  for (int32_t version : {2, -1}) {
    std::vector<uint8_t> copy = bytes;
    std::memcpy(copy.data(), &version, 4);
    EXPECT_FALSE(SplitterBarClassData::Read(copy)) << version;
  }
  // Version 0 is the oldest layout, read as version 1.
  std::vector<uint8_t> oldest = bytes;
  oldest[0] = 0;
  EXPECT_TRUE(SplitterBarClassData::Read(oldest));
  unit_tests::ExpectEveryCutRefused(SplitterBarClassData::Read, bytes);
  std::vector<uint8_t> future = bytes;
  future[0] = 2;
  unit_tests::ExpectNoUnitFrom(units::SplitterBarClass(), future);
}

}  // namespace
