// The tree box's byte formats: class data, the item list, picture groups and the state
// pictures built from them.
#include <gtest/gtest.h>

#include <QImage>
#include <cstring>

#include "forms/byte_stream.h"
#include "tests/support/test_application.h"
#include "units/base/class_data_codec.h"
#include "units/treebox/item_list.h"
#include "units/treebox/picture_group.h"
#include "units/treebox/state_pictures.h"
#include "units/treebox/tree_box_class_data.h"

namespace {

using units::ItemRecord;
using units::TreeBoxClassData;

TreeBoxClassData Unusual() {
  TreeBoxClassData data;
  data.border = 4;
  data.text_color = 0x00112233;
  data.back_color = 0xFF000000;
  data.has_buttons = false;
  data.lines_at_root = false;
  data.edit_labels = true;
  data.current_item = 3;
  data.item_height = 22;
  data.font = std::vector<uint8_t>(60, 7);
  data.pictures = {'M', 'I', 'T', 'L', 1, 2, 3, 4, 5};
  data.initial_items = {'A', 0, 1, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0};
  data.check_boxes = true;
  data.check_state_count = 3;
  data.check_pictures = {9, 9};
  return data;
}

// Version 1 and version 0 with a zero marker: the fields before the check boxes only.
std::vector<uint8_t> WithoutCheckFields(int32_t version, bool marker) {
  std::vector<uint8_t> bytes = Unusual().Write();
  forms::ByteReader in(bytes);
  // Everything up to the marker: the version, ten words, three byte sets.
  in.View(44);
  for (int i = 0; i < 3; ++i) in.LengthPrefixedBytes();
  bytes.resize(in.Position());
  std::memcpy(bytes.data(), &version, 4);
  if (marker) bytes.insert(bytes.end(), 4, 0);
  return bytes;
}

TEST(TreeBoxClassData, ReadsWhatItWritesAndEmptyDataIsTheDefaults) {
  EXPECT_EQ(TreeBoxClassData::Read({}), TreeBoxClassData());
  const TreeBoxClassData data = Unusual();
  EXPECT_EQ(TreeBoxClassData::Read(data.Write()), data);
}

TEST(TreeBoxClassData, OlderLayoutsKeepTheCheckBoxDefaults) {
  for (const auto& bytes : {WithoutCheckFields(1, false), WithoutCheckFields(0, true)}) {
    const auto data = TreeBoxClassData::Read(bytes);
    ASSERT_TRUE(data.has_value());
    EXPECT_EQ(data->item_height, 22);
    EXPECT_EQ(data->initial_items, Unusual().initial_items);
    EXPECT_FALSE(data->check_boxes);
    EXPECT_EQ(data->check_state_count, TreeBoxClassData().check_state_count);
  }
  // Version 0 needs its marker.
  EXPECT_FALSE(TreeBoxClassData::Read(WithoutCheckFields(0, false)).has_value());
}

TEST(TreeBoxClassData, UnknownVersionsAndEveryTruncationAreRejected) {
  for (int32_t version : {2, 7, -1}) {
    std::vector<uint8_t> bytes = Unusual().Write();
    std::memcpy(bytes.data(), &version, 4);
    EXPECT_FALSE(TreeBoxClassData::Read(bytes).has_value()) << version;
  }
  const std::vector<uint8_t> bytes = Unusual().Write();
  for (size_t size = 1; size < bytes.size(); ++size) {
    EXPECT_FALSE(TreeBoxClassData::Read({bytes.data(), size}).has_value()) << size;
  }
}

TEST(TreeBoxCodec, NamedFieldsRoundTripThroughTheClassData) {
  const units::ClassDataCodec* codec = units::FindCodecByName("树型框");
  ASSERT_NE(codec, nullptr);
  EXPECT_EQ(codec->type, 0x00020001u);
  EXPECT_EQ(units::FindCodecByName("TreeBox"), codec);
  ASSERT_EQ(codec->event_names.size(), 8u);
  EXPECT_EQ(codec->event_names[7], "CheckChanged");

  const std::vector<uint8_t> bytes = Unusual().Write();
  const auto fields = codec->decode(bytes);
  ASSERT_TRUE(fields.has_value());
  EXPECT_EQ(codec->encode(*fields), bytes);
  // A form names only what differs from the defaults.
  const auto partial = codec->encode({{"EditLabels", true}, {"CurrentItem", int64_t{2}}});
  ASSERT_TRUE(partial.has_value());
  const auto read = TreeBoxClassData::Read(*partial);
  ASSERT_TRUE(read.has_value());
  EXPECT_TRUE(read->edit_labels);
  EXPECT_EQ(read->current_item, 2);
  EXPECT_TRUE(read->has_lines);
  // Unknown names and values of the wrong kind fail.
  EXPECT_FALSE(codec->encode({{"Caption", std::string("x")}}).has_value());
  EXPECT_FALSE(codec->encode({{"HasLines", int64_t{1}}}).has_value());
  EXPECT_FALSE(codec->encode({{"Pictures", std::string("x")}}).has_value());
}

TEST(ItemList, RecordsRoundTripInPreOrder) {
  const std::vector<ItemRecord> records = {
      {"A", 1, 2, 100, ItemRecord::StateWord(true, true, 2), 1},
      {"A1", 0, 0, 0, 0, 2},
      {"\xD5\xC2", 3, 3, -5, ItemRecord::StateWord(false, false, 15), 3},
      {"B", 0, 0, 0, ItemRecord::kExpandedBit, 1},
  };
  const std::vector<uint8_t> bytes = units::SerializeItemList(records);
  EXPECT_EQ(bytes.size(), 4u * 21 + 1 + 2 + 2 + 1);
  EXPECT_EQ(units::ParseItemList(bytes), records);
  EXPECT_EQ(records[0].CheckState(), 2);
  EXPECT_TRUE(records[0].Bold());
}

TEST(ItemList, ATruncatedRecordEndsTheListAndShallowDepthsCountAsOne) {
  std::vector<ItemRecord> records = {{"A", 0, 0, 0, 0, 1}, {"B", 0, 0, 0, 0, 0}};
  std::vector<uint8_t> bytes = units::SerializeItemList(records);
  const auto parsed = units::ParseItemList(bytes);
  ASSERT_EQ(parsed.size(), 2u);
  EXPECT_EQ(parsed[1].depth, 1);
  for (size_t cut : {size_t{1}, size_t{10}, size_t{21}}) {
    const auto shorter = units::ParseItemList({bytes.data(), bytes.size() - cut});
    ASSERT_EQ(shorter.size(), 1u) << cut;
    EXPECT_EQ(shorter[0].text, "A");
  }
  EXPECT_TRUE(units::ParseItemList(std::vector<uint8_t>{'A', 'B'}).empty());  // no NUL
}

std::vector<QImage> ThreePictures() {
  std::vector<QImage> pictures;
  for (QRgb color : {qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)}) {
    QImage picture(16, 16, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    for (int y = 4; y < 12; ++y) {
      for (int x = 4; x < 12; ++x) picture.setPixel(x, y, color);
    }
    pictures.push_back(picture);
  }
  return pictures;
}

TEST(PictureGroup, PicturesComeBackWithTheirTransparency) {
  unit_tests::App();
  const auto bytes = units::WritePictureGroup(ThreePictures());
  const auto pictures = units::ReadPictureGroup(bytes);
  ASSERT_EQ(pictures.size(), 3u);
  EXPECT_EQ(pictures[2].size(), QSize(16, 16));
  EXPECT_EQ(qAlpha(pictures[1].pixel(0, 0)), 0);
  EXPECT_EQ(pictures[1].pixel(5, 5), qRgb(0, 255, 0));
  EXPECT_EQ(pictures[2].pixel(11, 11), qRgb(0, 0, 255));
}

TEST(PictureGroup, AnythingButATaggedImageListIsNoPictures) {
  unit_tests::App();
  const auto good = units::WritePictureGroup(ThreePictures());
  const auto changed = [&](size_t at, uint8_t value) {
    auto bytes = good;
    bytes[at] = value;
    return bytes;
  };
  const struct {
    const char* what;
    std::vector<uint8_t> bytes;
  } cases[] = {
      {"empty", {}},
      {"tag only", {'M', 'I', 'T', 'L', 0, 0, 0, 0}},
      {"tag flipped", changed(0, 'm')},
      {"list magic flipped", changed(8, 'X')},
      {"unknown list version", changed(10, 0x02)},
      {"no pictures", changed(12, 0)},
      {"picture width 0", changed(18, 0)},
      {"bitmap magic flipped", changed(36, 'X')},
      {"cut inside the bitmap", std::vector<uint8_t>(good.begin(), good.begin() + 100)},
  };
  for (const auto& test : cases) {
    EXPECT_TRUE(units::ReadPictureGroup(test.bytes).empty()) << test.what;
  }
}

TEST(PictureGroup, EveryFlippedByteReadsSafely) {
  unit_tests::App();
  const auto good = units::WritePictureGroup(ThreePictures());
  for (size_t at = 0; at < good.size(); ++at) {
    auto bytes = good;
    bytes[at] ^= 0xFF;
    for (const QImage& picture : units::ReadPictureGroup(bytes)) {
      EXPECT_EQ(picture.size(), QSize(16, 16)) << at;
    }
  }
}

TEST(StatePictures, TheFirstPictureStandsTwiceAndTheCountLimitsTheRest) {
  unit_tests::App();
  const std::vector<QImage> five(5, QImage(13, 13, QImage::Format_ARGB32));
  const struct {
    std::vector<QImage> pictures;
    int32_t count;
    size_t states;
  } cases[] = {
      {{}, 0, 4}, {{}, 2, 3}, {{}, 9, 4}, {five, 3, 4}, {five, 0, 6}, {five, -1, 6},
  };
  for (const auto& test : cases) {
    EXPECT_EQ(units::BuildStatePictures(test.pictures, test.count).size(), test.states)
        << test.pictures.size() << " pictures, count " << test.count;
  }
  const auto states = units::BuildStatePictures({}, 0);
  EXPECT_EQ(states[0], units::BuiltInCheckPictures()[0]);
  EXPECT_EQ(states[1], units::BuiltInCheckPictures()[0]);
  EXPECT_EQ(states[2].width(), 13);
  EXPECT_NE(states[1], states[2]);
}

}  // namespace
