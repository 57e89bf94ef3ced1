#ifndef INKSTONE_PLATFORM_CORE_LOCK_RETRY_H_
#define INKSTONE_PLATFORM_CORE_LOCK_RETRY_H_

#include <cstdint>
#include <functional>
#include <string_view>

#include "platform/core/file.h"
#include "platform/core/file_types.h"

// The retry rule for locks and opens that collide with another holder. An attempt that fails with
// a lock violation (or, for opens, a sharing violation) is repeated after a pause of
// 20 + (TickCount() mod 20) ms — the jitter keeps two waiting programs out of step — for as long as
// the wait allows:
//
//   wait_ms == 0   no retry
//   wait_ms < 0    retry without limit (-1 by convention)
//   wait_ms > 0    retry while no more than wait_ms ms have passed since the first attempt
//
// Any other result ends the retries at once and is returned as is.

namespace platform {

LockResult LockWithRetry(const std::function<LockResult()>& attempt, int32_t wait_ms);

// File::TryLock under the retry rule.
LockResult LockWithRetry(File& file, int64_t offset, int64_t length, int32_t wait_ms);

// File::Open under the retry rule.
FileResult OpenWithRetry(std::string_view gbk_path, FileAccess access, ShareMode share,
                         Disposition disposition, int32_t wait_ms);

}  // namespace platform

#endif  // INKSTONE_PLATFORM_CORE_LOCK_RETRY_H_
