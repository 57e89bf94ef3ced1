#pragma once

#include <cstdint>

#include "runtime/arg_cell.h"

namespace commands {

// MessageBox(message, optional flags, optional caption): shows a modal box without owner
// and returns the pressed button: 0 OK, 1 Cancel, 2 Abort, 3 Retry, 4 Ignore, 5 Yes, 6 No.
// Without flags the box has only OK; without caption its caption is "信息：".
void MessageBox(runtime::ArgCell* result, int32_t count, const runtime::ArgCell* args);

}  // namespace commands
