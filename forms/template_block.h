#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "forms/window_template.h"

namespace forms {

// The window-template block, all integers little-endian 32-bit, a "text" a 32-bit length
// and that many GBK bytes, a "string" NUL-terminated GBK:
//
//   block           int32 L (key table bytes, a multiple of 8); n = L / 8
//                   n FormIds, then n 32-bit slots (meaningless in the block)
//                   n window templates, in key-table order; nothing may follow
//   window          int32 word 0, int32 word 1, text 0, text 1,
//                   int32 unit count u, int32 B (bytes of the unit table), unit table:
//                   u UnitIds, u int32 offsets, then the records; record i starts at
//                   (start of the records) + offset i as int32 length + that many bytes
//   unit record     int32 TypeRef, int32 event source, 4 × int32 reserved, string name,
//                   string comment, int32 object slot, int32 left, top, width, height,
//                   int32 cursor slot, int32 parent, int32 k, k × int32 children,
//                   int32 m, m bytes mouse pointer, string tag, int32 word A, int32 flags,
//                   int32 word B, int32 e, e × (int32 event, int32 handler offset),
//                   5 × int32 reserved, class data (the rest of the record)
//   menu item       int32 TypeRef, 5 × int32 reserved, string name, string comment,
//                   int32 shortcut, int32 level, int32 flags, string caption,
//                   int32 handler offset, 4 × int32 slots
//
// A record is a menu item exactly when its UnitId says so (kind 2, sub-kind 6).

// Parses a whole block; nothing when it is malformed (shorter than its lengths say, a
// record outside its table, bytes left over).
std::optional<TemplateSet> ReadTemplateBlock(std::span<const uint8_t> block);

// Writes the block that ReadTemplateBlock reads back to `templates` (slots written as 0).
std::vector<uint8_t> WriteTemplateBlock(const TemplateSet& templates);

}  // namespace forms
