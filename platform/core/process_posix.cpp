#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "platform/core/process.h"

namespace platform {

bool StartDetached(const std::string& program, const std::vector<std::string>& arguments,
                   const std::string& directory) {
  // Everything the child needs is made before the fork: between fork and exec only
  // async-signal-safe calls are allowed.
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
  argv.push_back(nullptr);
  const pid_t child = fork();
  if (child < 0) return false;
  if (child == 0) {
    // The child starts the program in a grandchild and ends at once, so the program
    // belongs to no one here and leaves no zombie behind.
    setsid();
    if (fork() != 0) _exit(0);
    if (!directory.empty() && chdir(directory.c_str()) != 0) _exit(127);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  int status = 0;
  while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  return true;
}

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

bool OpenWithDesktop(const std::string& target, const std::string& directory) {
  return StartDetached("xdg-open", {target}, directory);
}

bool PrintWithDesktop(const std::string& file, const std::string& directory) {
  return StartDetached("lp", {file}, directory);
}

bool IsRunnableFile(const std::string& path) {
  std::error_code error;
  return std::filesystem::is_regular_file(std::filesystem::u8path(path), error) &&
         access(path.c_str(), X_OK) == 0;
}

}  // namespace platform
