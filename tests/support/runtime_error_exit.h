#pragma once

namespace test_support {

// The exit status a test sees of a process that a runtime error ended with -1: POSIX systems keep
// its low byte, Windows the whole value.
#ifdef _WIN32
inline constexpr int kRuntimeErrorExit = -1;
#else
inline constexpr int kRuntimeErrorExit = 255;
#endif

}  // namespace test_support
