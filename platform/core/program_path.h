#ifndef INKSTONE_PLATFORM_CORE_PROGRAM_PATH_H_
#define INKSTONE_PLATFORM_CORE_PROGRAM_PATH_H_

#include <string>

namespace platform {

// The running executable's full path as a GBK path with "\\" separators; empty if the system
// cannot tell.
std::string ProgramFilePath();

}  // namespace platform

#endif  // INKSTONE_PLATFORM_CORE_PROGRAM_PATH_H_
