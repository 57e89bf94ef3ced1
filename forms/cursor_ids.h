#pragma once

#include <QCursor>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace forms {

// Programs name cursors by a small index; templates store the system cursor identifier.
// Values outside the table pass unchanged both ways.
//   0 none, 1 arrow 32512, 2 cross 32515, 3 I-beam 32513, 4 hourglass 32514,
//   5 help 32651, 6 busy 32650, 7 no 32648, 8 move 32646, 9 NE-SW 32643, 10 N-S 32645,
//   11 NW-SE 32642, 12 W-E 32644, 13 up arrow 32516, 14 hand 32649
int32_t CursorIdOfIndex(int32_t index);
int32_t CursorIndexOfId(int32_t id);

// Mouse-pointer bytes with their first word mapped (bytes of 4 or more only).
std::vector<uint8_t> MapCursorBytesToStored(std::span<const uint8_t> bytes);
std::vector<uint8_t> MapCursorBytesToIndex(std::span<const uint8_t> bytes);

// The cursor a unit's mouse-pointer bytes ask for; nothing for none or undecodable bytes.
std::optional<QCursor> MakeUnitCursor(std::span<const uint8_t> bytes);

}  // namespace forms
