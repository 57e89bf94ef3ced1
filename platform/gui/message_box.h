#pragma once

#include <cstdint>

#include <QString>

namespace gui {

// A modal message box without owner window, in the platform's terms: `style` carries the
// button set (low 4 bits: 0 OK, 1 OK/Cancel, 2 Abort/Retry/Ignore, 3 Yes/No/Cancel,
// 4 Yes/No, 5 Retry/Cancel), the icon (0x10 error, 0x20 question, 0x30 warning,
// 0x40 information) and the default button (0x100 second, 0x200 third). Returns the
// pressed button's id: 1 OK, 2 Cancel, 3 Abort, 4 Retry, 5 Ignore, 6 Yes, 7 No. Closing the
// box counts as Cancel when it has one, else as its only button.
int32_t ShowMessageBox(const QString& text, const QString& caption, uint32_t style);

}  // namespace gui
