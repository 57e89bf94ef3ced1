#ifndef INKSTONE_PLATFORM_CORE_PROCESS_H_
#define INKSTONE_PLATFORM_CORE_PROCESS_H_

#include <string>
#include <vector>

// Starting other programs without waiting for them. Paths and arguments are native (UTF-8).

namespace platform {

// Starts `program` (found through PATH when it has no "/") with `arguments`, in
// `directory` (the current one when empty), detached: the caller never waits for it and
// never collects it. Answers whether the start was handed to the system; a program that
// cannot be found or run fails silently in the detached process.
bool StartDetached(const std::string& program, const std::vector<std::string>& arguments,
                   const std::string& directory = {});

// Hands a file, folder or web address to the desktop's handler for it, as a double click would.
bool OpenWithDesktop(const std::string& target, const std::string& directory = {});
// Hands a file to the desktop's printing.
bool PrintWithDesktop(const std::string& file, const std::string& directory = {});
// True for a file the system can run as a program.
bool IsRunnableFile(const std::string& path);

// The program's command-line arguments as UTF-8 texts, argv[0] first. (Windows hands main its
// arguments in the ANSI code page, which cannot hold every file name; they are read here from the
// system's UTF-16 command line instead.)
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// Splits a command line's parameters the way a shell would without expanding anything:
// blanks separate, double or single quotes keep blanks, a backslash keeps the next
// character inside double quotes and outside quotes.
std::vector<std::string> SplitParameters(const std::string& parameters);

}  // namespace platform

#endif  // INKSTONE_PLATFORM_CORE_PROCESS_H_
