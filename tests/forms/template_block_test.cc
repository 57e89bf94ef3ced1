// The window-template block: exact stream layout, round trips through the writer, and
// rejection of every malformed block.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "forms/shortcut_keys.h"
#include "forms/template_block.h"

namespace forms {
namespace {

UnitRecord WindowUnit() {
  UnitTemplate window;
  window.type = 0x00010001;
  window.left = 100;
  window.top = 80;
  window.width = 800;
  window.height = 600;
  window.flags = unit_flag::kVisible;
  window.mouse_pointer = {0, 0, 0, 0};
  window.events = {{0, 0, 0}, {2, 24, 0}};
  window.class_data = {6, 0, 0, 0, 1, 0, 0, 0};
  return {kWindowUnitId, window};
}

UnitRecord EditBox() {
  UnitTemplate edit;
  edit.type = 0x00010005;
  edit.name = "\xC4\xDA\xC8\xDD";  // 内容 in GBK
  edit.left = 10;
  edit.top = 20;
  edit.width = 300;
  edit.height = 200;
  edit.parent = 0x16010012;
  edit.mouse_pointer = {0x89, 0x7F, 0, 0};
  edit.tag = "tag";
  edit.flags = unit_flag::kVisible | unit_flag::kTabStop;
  edit.word_b = 11;
  edit.events = {{-11, 8, 0}};
  edit.class_data = {2, 0, 0, 0, 0xAA};
  return {0x160100EC, edit};
}

UnitRecord GroupBox() {
  UnitTemplate group;
  group.type = 0x00010009;
  group.children = {0x160100EC, 0, 0x160100ED};
  return {0x16010012, group};
}

UnitRecord MenuItem(UnitId id, int32_t level, const char* caption, int32_t shortcut,
                    int32_t handler) {
  MenuItemTemplate item;
  item.level = level;
  item.caption = caption;
  item.shortcut = shortcut;
  item.flags = level == 0 ? menu_flag::kHidden : 0;
  item.selected.handler_offset = handler;
  return {id, item};
}

TemplateSet SampleSet() {
  WindowTemplate window;
  window.id = 0x52010001;
  window.units = {WindowUnit(), EditBox(), GroupBox(), MenuItem(0x26010073, 0, "menu", 0, -1),
                  MenuItem(0x26010074, 1, "-", 0, -1), MenuItem(0x26010075, 1, "stop", 2, 16)};
  TemplateSet set;
  set.windows.push_back(window);
  return set;
}

TEST(TemplateBlock, RoundTripsThroughTheWriter) {
  const TemplateSet set = SampleSet();
  const std::vector<uint8_t> block = WriteTemplateBlock(set);
  const auto read = ReadTemplateBlock(block);
  ASSERT_TRUE(read.has_value());
  EXPECT_EQ(*read, set);
  EXPECT_EQ(WriteTemplateBlock(*read), block);
}

TEST(TemplateBlock, EveryShortenedBlockIsRejected) {
  const std::vector<uint8_t> block = WriteTemplateBlock(SampleSet());
  for (size_t length = 0; length < block.size(); ++length) {
    EXPECT_FALSE(ReadTemplateBlock({block.data(), length}).has_value()) << length;
  }
  std::vector<uint8_t> longer = block;
  longer.push_back(0);
  EXPECT_FALSE(ReadTemplateBlock(longer).has_value());
}

TEST(TemplateBlock, FlippedBytesNeverCrashTheReader) {
  const std::vector<uint8_t> block = WriteTemplateBlock(SampleSet());
  for (size_t i = 0; i < block.size(); ++i) {
    for (uint8_t value : {uint8_t{0}, uint8_t{0x7F}, uint8_t{0xFF}}) {
      std::vector<uint8_t> damaged = block;
      damaged[i] = value;
      (void)ReadTemplateBlock(damaged);  // any answer, but no crash or sanitizer report
    }
  }
}

// An independent reading of the bytes of a one-window block with a single record.
TEST(TemplateBlock, LayoutOfARecordWithoutEvents) {
  WindowTemplate window;
  window.id = 0x52010001;
  UnitTemplate unit;
  unit.type = 0x00010001;
  window.units = {{kWindowUnitId, unit}};
  TemplateSet set;
  set.windows = {window};
  const std::vector<uint8_t> block = WriteTemplateBlock(set);
  auto word = [&](size_t offset) {
    int32_t value;
    std::memcpy(&value, block.data() + offset, 4);
    return value;
  };
  EXPECT_EQ(word(0), 8);                        // key table of one window
  EXPECT_EQ(static_cast<uint32_t>(word(4)), 0x52010001u);
  EXPECT_EQ(word(12), 0);                       // word 0
  EXPECT_EQ(word(16), 0x1901002A);              // word 1
  EXPECT_EQ(word(20), 0);                       // text 0 length
  EXPECT_EQ(word(24), 0);                       // text 1 length
  EXPECT_EQ(word(28), 1);                       // unit count
  const size_t table = 36;
  EXPECT_EQ(static_cast<uint32_t>(word(table)), kWindowUnitId);
  EXPECT_EQ(word(table + 4), 0);                // offset of record 0
  const size_t record = table + 12;             // after the length word
  // type, event source, 4 reserved, "" "", object, 4 position words, cursor, parent,
  // child count, mouse-pointer length, "" tag, word A, flags, word B, event count
  const size_t event_count = record + 4 + 4 + 16 + 2 + 4 + 16 + 4 + 4 + 4 + 4 + 1 + 12;
  EXPECT_EQ(word(event_count), 0);
  const size_t reserved = event_count + 4;       // the 20 reserved bytes follow at once
  EXPECT_EQ(block.size(), reserved + 20);
  EXPECT_EQ(word(record - 4), static_cast<int32_t>(block.size() - record));
}

TEST(TemplateBlock, KeySlotValuesAreIgnored) {
  std::vector<uint8_t> block = WriteTemplateBlock(SampleSet());
  std::memset(block.data() + 8, 0xAB, 4);  // the slot of window 0
  const auto read = ReadTemplateBlock(block);
  ASSERT_TRUE(read.has_value());
  EXPECT_EQ(read->windows.size(), 1u);
}

TEST(TemplateSet, RelocationKeepsOffsetZeroAndClearsMinusOne) {
  TemplateSet set = SampleSet();
  const uint8_t code[64] = {};
  set.Relocate(code);
  const WindowTemplate& window = set.windows[0];
  const auto base = reinterpret_cast<uintptr_t>(code);
  EXPECT_EQ(window.units[0].Unit().events[0].handler, base);  // offset 0: the first routine
  EXPECT_EQ(window.units[0].Unit().events[1].handler, base + 24);
  EXPECT_EQ(window.units[3].MenuItem().selected.handler, 0u);  // -1: none
  EXPECT_EQ(window.units[5].MenuItem().selected.handler, base + 16);
}

TEST(TemplateSet, FindsUnitsByIdAndTheWindowByZero) {
  TemplateSet set = SampleSet();
  WindowTemplate* window = set.Find(0x52010001);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(set.Find(0x52010002), nullptr);
  EXPECT_EQ(window->IndexOf(0), 0);
  EXPECT_EQ(window->IndexOf(0x16010012), 2);
  EXPECT_EQ(window->FindUnit(0x16019999), nullptr);
  EXPECT_TRUE(window->FindUnit(0x26010075)->IsMenuItem());
  EXPECT_TRUE(IsMenuItemId(0x26010075));
  EXPECT_FALSE(IsMenuItemId(0x16010012));
  EXPECT_FALSE(IsValidId(0x06000000));
}

TEST(ShortcutKeys, TableFollowsItsIndexRule) {
  const struct {
    int32_t index;
    const char* name;
    uint32_t modifiers;
    int32_t key;
  } cases[] = {{1, "Ctrl+A", modifier::kControl, 'A'},
               {2, "Ctrl+B", modifier::kControl, 'B'},
               {26, "Ctrl+Z", modifier::kControl, 'Z'},
               {27, "F1", 0, 0x70},
               {38, "F12", 0, 0x7B},
               {39, "Ctrl+F1", modifier::kControl, 0x70},
               {62, "Shift+F12", modifier::kShift, 0x7B},
               {63, "Ctrl+Shift+F1", modifier::kControl | modifier::kShift, 0x70},
               {75, "Ins", 0, 0x2D},
               {76, "Del", 0, 0x2E}};
  for (const auto& c : cases) {
    const auto key = ShortcutKeyAt(c.index);
    ASSERT_TRUE(key.has_value()) << c.index;
    EXPECT_EQ(key->name, c.name);
    EXPECT_EQ(key->modifiers, c.modifiers);
    EXPECT_EQ(key->virtual_key, c.key);
  }
  EXPECT_FALSE(ShortcutKeyAt(0));
  EXPECT_FALSE(ShortcutKeyAt(77));
  EXPECT_FALSE(ShortcutKeyAt(-1));
}

}  // namespace
}  // namespace forms
