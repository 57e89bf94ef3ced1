#include "units/treebox/item_list.h"

#include <algorithm>

#include "forms/byte_stream.h"

namespace units {

std::vector<ItemRecord> ParseItemList(std::span<const uint8_t> bytes) {
  std::vector<ItemRecord> records;
  forms::ByteReader in(bytes);
  while (!in.AtEnd()) {
    ItemRecord record;
    record.text = in.String();
    record.picture = in.Int32();
    record.selected_picture = in.Int32();
    record.data = in.Int32();
    record.state = in.UInt32();
    record.depth = std::max(in.Int32(), 1);
    if (in.Failed()) break;
    records.push_back(std::move(record));
  }
  return records;
}

std::vector<uint8_t> SerializeItemList(std::span<const ItemRecord> records) {
  forms::ByteWriter out;
  for (const ItemRecord& record : records) {
    out.String(record.text);
    out.Int32(record.picture);
    out.Int32(record.selected_picture);
    out.Int32(record.data);
    out.UInt32(record.state);
    out.Int32(record.depth);
  }
  return std::move(out.Data());
}

}  // namespace units
