#pragma once

#include "forms/form_ids.h"
#include "platform/gui/message.h"

namespace units {

// The events every unit shares, fired from the window's message pre-processing for the
// unit whose window is the message's target.
namespace common_event {
inline constexpr int32_t kMouseLeftDown = -1;
inline constexpr int32_t kMouseLeftUp = -2;
inline constexpr int32_t kDoubleClick = -3;
inline constexpr int32_t kMouseRightDown = -4;
inline constexpr int32_t kMouseRightUp = -5;
inline constexpr int32_t kMouseMove = -6;
inline constexpr int32_t kFocusGained = -7;
inline constexpr int32_t kFocusLost = -8;
inline constexpr int32_t kKeyDown = -9;
inline constexpr int32_t kKeyUp = -10;
inline constexpr int32_t kCharInput = -11;
inline constexpr int32_t kMouseWheel = -12;
}  // namespace common_event

// Turns a mouse, key, character or wheel message into the matching common event of
// (form, unit). Returns true when the handler discarded the message; a character handler's
// value other than 0 replaces the character in `message`.
bool FireCommonEvent(forms::FormId form, forms::UnitId unit, gui::Message& message);

}  // namespace units
