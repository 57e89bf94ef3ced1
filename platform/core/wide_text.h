#ifndef INKSTONE_PLATFORM_CORE_WIDE_TEXT_H_
#define INKSTONE_PLATFORM_CORE_WIDE_TEXT_H_

#include <string>
#include <string_view>

// Windows only: UTF-8 texts (native paths, command-line words) for the system's UTF-16 calls.

namespace platform {

std::wstring WideFromUtf8(std::string_view utf8);
std::string Utf8FromWide(std::wstring_view wide);

// One word of a command line, quoted so that a program's start-up code splits it back
// unchanged: backslashes count only before a double quote.
std::wstring QuotedArgument(std::wstring_view argument);

}  // namespace platform

#endif  // INKSTONE_PLATFORM_CORE_WIDE_TEXT_H_
