#pragma once

#include <QCursor>
#include <cstdint>
#include <optional>
#include <span>

namespace gui {

// The cursor of a system cursor identifier (32512 arrow, 32513 I-beam, ..., 32649 hand).
std::optional<QCursor> SystemCursor(int32_t identifier);

// A cursor made from the bytes of a cursor file (hot spot from its directory); nothing
// when they cannot be decoded.
std::optional<QCursor> CursorFromFile(std::span<const uint8_t> bytes);

}  // namespace gui
