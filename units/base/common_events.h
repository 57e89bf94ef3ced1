#pragma once

#include "forms/event_numbers.h"
#include "forms/form_ids.h"
#include "platform/gui/message.h"

namespace units {

namespace common_event = forms::common_event;

// Turns a mouse, key, character or wheel message into the matching common event of
// (form, unit). Returns true when the handler discarded the message; a character handler's
// value other than 0 replaces the character in `message`.
bool FireCommonEvent(forms::FormId form, forms::UnitId unit, gui::Message& message);

}  // namespace units
