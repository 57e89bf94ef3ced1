#include "platform/core/process.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

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

std::vector<std::string> SplitParameters(const std::string& parameters) {
  std::vector<std::string> words;
  std::string word;
  bool in_word = false;
  char quote = 0;
  for (size_t i = 0; i < parameters.size(); ++i) {
    const char c = parameters[i];
    if (quote != 0) {
      if (c == quote) {
        quote = 0;
      } else if (c == '\\' && quote == '"' && i + 1 < parameters.size()) {
        word += parameters[++i];
      } else {
        word += c;
      }
    } else if (c == ' ' || c == '\t') {
      if (in_word) words.push_back(std::move(word));
      word.clear();
      in_word = false;
    } else {
      in_word = true;
      if (c == '"' || c == '\'') {
        quote = c;
      } else if (c == '\\' && i + 1 < parameters.size()) {
        word += parameters[++i];
      } else {
        word += c;
      }
    }
  }
  if (in_word) words.push_back(std::move(word));
  return words;
}

}  // namespace platform
