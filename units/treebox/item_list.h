#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace units {

// One item of a tree's item list (the InitialItems format). Records follow one another in
// pre-order, each:
//
//   text          GBK bytes ended by a zero byte
//   +0  int32     picture index
//   +4  int32     selected-picture index
//   +8  int32     item data
//   +12 int32     state word: bit 0 bold, bit 1 expanded, bits 28..31 check state (the
//                 state picture number; 0 none)
//   +16 int32     depth: 1 for a top-level item, one more per level below
//
// A record deeper than the one before is its child; an equal depth makes a sibling; a
// smaller depth closes levels.
struct ItemRecord {
  std::string text;  // GBK
  int32_t picture = 0;
  int32_t selected_picture = 0;
  int32_t data = 0;
  uint32_t state = 0;
  int32_t depth = 1;

  bool Bold() const { return (state & kBoldBit) != 0; }
  bool Expanded() const { return (state & kExpandedBit) != 0; }
  int32_t CheckState() const { return static_cast<int32_t>(state >> kCheckShift); }

  static uint32_t StateWord(bool bold, bool expanded, int32_t check_state) {
    return (bold ? kBoldBit : 0) | (expanded ? kExpandedBit : 0) |
           (static_cast<uint32_t>(check_state & 0xF) << kCheckShift);
  }

  static constexpr uint32_t kBoldBit = 1u << 0;
  static constexpr uint32_t kExpandedBit = 1u << 1;
  static constexpr int kCheckShift = 28;

  bool operator==(const ItemRecord&) const = default;
};

// The records of an item list. The list comes from form files and programs, so it is read
// leniently: the records before a truncated one are kept, and a depth below 1 counts as 1.
std::vector<ItemRecord> ParseItemList(std::span<const uint8_t> bytes);
std::vector<uint8_t> SerializeItemList(std::span<const ItemRecord> records);

}  // namespace units
