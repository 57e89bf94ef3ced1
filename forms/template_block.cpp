#include "forms/template_block.h"

#include "forms/byte_stream.h"

namespace forms {

namespace {

UnitTemplate ReadUnit(ByteReader& in) {
  UnitTemplate unit;
  unit.type = in.UInt32();
  unit.event_source = in.UInt32();
  for (int32_t& word : unit.reserved) word = in.Int32();
  unit.name = in.String();
  unit.comment = in.String();
  in.Int32();  // object slot: meaningless in the block
  unit.left = in.Int32();
  unit.top = in.Int32();
  unit.width = in.Int32();
  unit.height = in.Int32();
  in.Int32();  // cursor slot
  unit.parent = in.UInt32();
  const int32_t child_count = in.Int32();
  if (child_count < 0 || static_cast<uint64_t>(child_count) * 4 > in.Remaining()) in.Fail();
  for (int32_t i = 0; i < child_count && !in.Failed(); ++i) unit.children.push_back(in.UInt32());
  unit.mouse_pointer = in.LengthPrefixedBytes();
  unit.tag = in.String();
  unit.word_a = in.Int32();
  unit.flags = in.UInt32();
  unit.word_b = in.Int32();
  const int32_t event_count = in.Int32();
  if (event_count < 0 || static_cast<uint64_t>(event_count) * 8 > in.Remaining()) in.Fail();
  for (int32_t i = 0; i < event_count && !in.Failed(); ++i) {
    EventBinding binding;
    binding.event = in.Int32();
    binding.handler_offset = in.Int32();
    unit.events.push_back(binding);
  }
  for (int32_t& word : unit.reserved_tail) word = in.Int32();
  unit.class_data = in.Bytes(static_cast<int64_t>(in.Remaining()));
  return unit;
}

MenuItemTemplate ReadMenuItem(ByteReader& in) {
  MenuItemTemplate item;
  item.type = in.UInt32();
  for (int32_t& word : item.reserved) word = in.Int32();
  item.name = in.String();
  item.comment = in.String();
  item.shortcut = in.Int32();
  item.level = in.Int32();
  item.flags = in.UInt32();
  item.caption = in.String();
  item.selected.handler_offset = in.Int32();
  for (int i = 0; i < 4; ++i) in.Int32();  // slots: meaningless in the block
  return item;
}

bool ReadUnitTable(ByteReader& table, int32_t unit_count, WindowTemplate& window) {
  if (unit_count < 0 || static_cast<uint64_t>(unit_count) * 8 > table.Remaining()) return false;
  std::vector<UnitId> ids(static_cast<size_t>(unit_count));
  std::vector<int32_t> offsets(static_cast<size_t>(unit_count));
  for (UnitId& id : ids) id = table.UInt32();
  for (int32_t& offset : offsets) offset = table.Int32();
  const std::span<const uint8_t> records = table.View(static_cast<int64_t>(table.Remaining()));
  for (int32_t i = 0; i < unit_count; ++i) {
    const int32_t offset = offsets[static_cast<size_t>(i)];
    if (offset < 0 || static_cast<size_t>(offset) > records.size()) return false;
    ByteReader at(records.subspan(static_cast<size_t>(offset)));
    const int32_t length = at.Int32();
    ByteReader record(at.View(length));
    if (at.Failed()) return false;
    UnitRecord unit{ids[static_cast<size_t>(i)], {}};
    if (IsMenuItemId(unit.id)) {
      unit.body = ReadMenuItem(record);
    } else {
      unit.body = ReadUnit(record);
    }
    if (record.Failed() || !record.AtEnd()) return false;
    window.units.push_back(std::move(unit));
  }
  return true;
}

void WriteUnit(ByteWriter& out, const UnitTemplate& unit) {
  out.UInt32(unit.type);
  out.UInt32(unit.event_source);
  for (int32_t word : unit.reserved) out.Int32(word);
  out.String(unit.name);
  out.String(unit.comment);
  out.Int32(0);
  out.Int32(unit.left);
  out.Int32(unit.top);
  out.Int32(unit.width);
  out.Int32(unit.height);
  out.Int32(0);
  out.UInt32(unit.parent);
  out.Int32(static_cast<int32_t>(unit.children.size()));
  for (UnitId child : unit.children) out.UInt32(child);
  out.LengthPrefixedBytes(unit.mouse_pointer);
  out.String(unit.tag);
  out.Int32(unit.word_a);
  out.UInt32(unit.flags);
  out.Int32(unit.word_b);
  out.Int32(static_cast<int32_t>(unit.events.size()));
  for (const EventBinding& binding : unit.events) {
    out.Int32(binding.event);
    out.Int32(binding.handler_offset);
  }
  for (int32_t word : unit.reserved_tail) out.Int32(word);
  out.Bytes(unit.class_data);
}

void WriteMenuItem(ByteWriter& out, const MenuItemTemplate& item) {
  out.UInt32(item.type);
  for (int32_t word : item.reserved) out.Int32(word);
  out.String(item.name);
  out.String(item.comment);
  out.Int32(item.shortcut);
  out.Int32(item.level);
  out.UInt32(item.flags);
  out.String(item.caption);
  out.Int32(item.selected.handler_offset);
  for (int i = 0; i < 4; ++i) out.Int32(0);
}

std::vector<uint8_t> WriteUnitTable(const WindowTemplate& window) {
  ByteWriter records;
  std::vector<int32_t> offsets;
  for (const UnitRecord& record : window.units) {
    offsets.push_back(static_cast<int32_t>(records.Size()));
    ByteWriter body;
    if (record.IsMenuItem()) {
      WriteMenuItem(body, record.MenuItem());
    } else {
      WriteUnit(body, record.Unit());
    }
    records.LengthPrefixedBytes(body.Data());
  }
  ByteWriter table;
  for (const UnitRecord& record : window.units) table.UInt32(record.id);
  for (int32_t offset : offsets) table.Int32(offset);
  table.Bytes(records.Data());
  return std::move(table.Data());
}

}  // namespace

std::optional<TemplateSet> ReadTemplateBlock(std::span<const uint8_t> block) {
  ByteReader in(block);
  const int32_t key_length = in.Int32();
  if (in.Failed() || key_length < 0 || key_length % 8 != 0) return std::nullopt;
  const int32_t count = key_length / 8;
  ByteReader keys(in.View(key_length));
  if (in.Failed()) return std::nullopt;
  TemplateSet templates;
  templates.windows.resize(static_cast<size_t>(count));
  for (WindowTemplate& window : templates.windows) window.id = keys.UInt32();

  for (WindowTemplate& window : templates.windows) {
    window.word0 = in.Int32();
    window.word1 = in.Int32();
    window.text0 = in.Text();
    window.text1 = in.Text();
    const int32_t unit_count = in.Int32();
    const int32_t table_length = in.Int32();
    ByteReader table(in.View(table_length));
    if (in.Failed() || !ReadUnitTable(table, unit_count, window)) return std::nullopt;
  }
  if (!in.AtEnd()) return std::nullopt;
  return templates;
}

std::vector<uint8_t> WriteTemplateBlock(const TemplateSet& templates) {
  ByteWriter out;
  out.Int32(static_cast<int32_t>(templates.windows.size() * 8));
  for (const WindowTemplate& window : templates.windows) out.UInt32(window.id);
  for (size_t i = 0; i < templates.windows.size(); ++i) out.Int32(0);
  for (const WindowTemplate& window : templates.windows) {
    out.Int32(window.word0);
    out.Int32(window.word1);
    out.Text(window.text0);
    out.Text(window.text1);
    out.Int32(static_cast<int32_t>(window.units.size()));
    out.LengthPrefixedBytes(WriteUnitTable(window));
  }
  return std::move(out.Data());
}

}  // namespace forms
