#pragma once

#include <array>
#include <cstdint>

#include "runtime/program_image.h"

namespace libraries {

// The six linked libraries, in table order (library index = position).
enum LibraryIndex : int32_t {
  kCoreLibrary = 0,          // "系统核心支持库"
  kExtendedUiOne = 1,        // "扩展界面支持库一"
  kExtendedUiTwo = 2,        // "扩展界面支持库二"
  kVisualStyleLibrary = 3,   // "XP风格界面库"
  kAppInterfaceLibrary = 4,  // "应用接口支持库"
  kShellLibrary = 5,         // "操作系统界面功能支持库"
  kLibraryCount = 6,
};

// The library pointer array of the program image.
const runtime::LibraryInfo* const* LibraryTable();

const runtime::LibraryInfo& Library(LibraryIndex index);

}  // namespace libraries
