#pragma once

#include <cstdint>

namespace runtime {

// The runtime's numbered service entry that every library receives at start. Codes lie in
// 1000..1014 and 2000..2040; any other code returns 0. Codes that serve units and events
// are answered by the forms layer.
intptr_t RuntimeCallback(int32_t code, intptr_t p1, intptr_t p2);

namespace callback_code {
inline constexpr int32_t kTemplateSet = 1001;
inline constexpr int32_t kFindDataType = 1002;
inline constexpr int32_t kAddIdleCallback = 1012;
inline constexpr int32_t kRemoveIdleCallback = 1013;
inline constexpr int32_t kUnitDestroyed = 2000;
inline constexpr int32_t kCellToInt = 2001;
inline constexpr int32_t kProgramDirectory = 2003;
inline constexpr int32_t kProgramFileName = 2004;
inline constexpr int32_t kFindUnit = 2006;
inline constexpr int32_t kFindUnitOrReport = 2007;
inline constexpr int32_t kFireEvent = 2008;
inline constexpr int32_t kPumpAndRaiseNesting = 2009;
inline constexpr int32_t kPumpAndLowerNesting = 2010;
inline constexpr int32_t kPumpMessages = 2018;
inline constexpr int32_t kAlloc = 2024;
inline constexpr int32_t kFree = 2025;
inline constexpr int32_t kRealloc = 2026;
inline constexpr int32_t kReportError = 2027;
inline constexpr int32_t kEndProgram = 2028;
inline constexpr int32_t kLookUpDataType = 2029;
inline constexpr int32_t kImageKind = 2030;
inline constexpr int32_t kFireEventShared = 2031;
inline constexpr int32_t kTemplateCount = 2032;
}  // namespace callback_code

}  // namespace runtime
