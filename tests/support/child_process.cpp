#include "tests/support/child_process.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string_view>

#include "platform/core/native_path.h"
#include "platform/core/program_path.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include "platform/core/wide_text.h"
#else
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace test_support {
namespace {

constexpr std::string_view kModeOption = "--inkstone-child=";
constexpr int kParentGone = 101;

std::map<std::string, ChildMain>& Modes() {
  static std::map<std::string, ChildMain> modes;
  return modes;
}

// Arguments travel as hexadecimal digits: any bytes survive every system's command line.
std::string ToHex(const std::string& bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (const char c : bytes) {
    hex += kDigits[static_cast<unsigned char>(c) >> 4];
    hex += kDigits[static_cast<unsigned char>(c) & 15];
  }
  return hex;
}

std::string FromHex(std::string_view hex) {
  auto value = [](char c) { return c <= '9' ? c - '0' : c - 'a' + 10; };
  std::string bytes;
  for (size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes += static_cast<char>(value(hex[i]) * 16 + value(hex[i + 1]));
  }
  return bytes;
}

std::vector<std::string> CommandLine(const std::string& mode,
                                     const std::vector<std::string>& arguments) {
  std::vector<std::string> line = {platform::NativePath(platform::ProgramFilePath()),
                                   std::string(kModeOption) + mode};
  for (const std::string& argument : arguments) line.push_back("x" + ToHex(argument));
  return line;
}

}  // namespace

ChildModeRegistration::ChildModeRegistration(const char* name, ChildMain main) {
  Modes()[name] = main;
}

std::optional<int> RunChildMode(int argc, char** argv) {
  if (argc < 2 || std::string_view(argv[1]).substr(0, kModeOption.size()) != kModeOption) {
    return std::nullopt;
  }
  const std::string mode(std::string_view(argv[1]).substr(kModeOption.size()));
  const auto found = Modes().find(mode);
  if (found == Modes().end()) {
    std::fprintf(stderr, "no child mode %s\n", mode.c_str());
    return 100;
  }
  std::vector<std::string> arguments;
  for (int i = 2; i < argc; ++i) arguments.push_back(FromHex(std::string_view(argv[i]).substr(1)));
#ifdef _WIN32
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  return found->second(arguments);
}

void SignalParent() {
  std::fputc(1, stdout);
  std::fflush(stdout);
}

void WaitForParent() {
  if (std::fgetc(stdin) == EOF) std::_Exit(kParentGone);
}

#ifdef _WIN32

// The exit status a killed child gets; one that had already exited keeps its own.
constexpr UINT kKilledStatus = 0x4B494C4C;

struct Child::Process {
  HANDLE process = nullptr;
  HANDLE to_child = nullptr;    // the child's standard input
  HANDLE from_child = nullptr;  // the child's standard output
};

Child::Child(const std::string& mode, const std::vector<std::string>& arguments)
    : process_(new Process) {
  std::wstring line;
  for (const std::string& word : CommandLine(mode, arguments)) {
    if (!line.empty()) line += L' ';
    line += platform::QuotedArgument(platform::WideFromUtf8(word));
  }
  HANDLE child_in = nullptr, child_out = nullptr;
  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  if (!CreatePipe(&child_in, &process_->to_child, &inheritable, 0) ||
      !CreatePipe(&process_->from_child, &child_out, &inheritable, 0)) {
    std::abort();
  }
  // Only the child's ends are inherited; they are closed here right after the start, so a
  // child started later inherits none of them.
  SetHandleInformation(process_->to_child, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(process_->from_child, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = child_in;
  startup.hStdOutput = child_out;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                      &started)) {
    std::abort();
  }
  CloseHandle(started.hThread);
  CloseHandle(child_in);
  CloseHandle(child_out);
  process_->process = started.hProcess;
}

Child::~Child() {
  Wait();
  CloseHandle(process_->to_child);
  CloseHandle(process_->from_child);
  delete process_;
}

bool Child::WaitReady() {
  char byte = 0;
  DWORD read = 0;
  return ReadFile(process_->from_child, &byte, 1, &read, nullptr) && read == 1;
}

void Child::Go() {
  const char byte = 1;
  DWORD written = 0;
  if (!WriteFile(process_->to_child, &byte, 1, &written, nullptr) || written != 1) std::abort();
}

void Child::Kill() {
  if (process_->process == nullptr) return;
  TerminateProcess(process_->process, kKilledStatus);
}

int Child::Wait() {
  if (process_->process == nullptr) return -1;
  WaitForSingleObject(process_->process, INFINITE);
  DWORD code = 0;
  const bool exited = GetExitCodeProcess(process_->process, &code) && code != kKilledStatus;
  CloseHandle(process_->process);
  process_->process = nullptr;
  return exited ? static_cast<int>(code) : -1;
}

#else

struct Child::Process {
  pid_t pid = -1;
  int to_child = -1;
  int from_child = -1;
};

Child::Child(const std::string& mode, const std::vector<std::string>& arguments)
    : process_(new Process) {
  const std::vector<std::string> line = CommandLine(mode, arguments);
  std::vector<char*> argv;
  for (const std::string& word : line) argv.push_back(const_cast<char*>(word.c_str()));
  argv.push_back(nullptr);
  // Close-on-exec everywhere: a child started later inherits none of these ends.
  int in[2], out[2];
  if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) std::abort();
  process_->pid = fork();
  if (process_->pid == 0) {
    dup2(in[0], 0);
    dup2(out[1], 1);
    execv(argv[0], argv.data());
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  process_->to_child = in[1];
  process_->from_child = out[0];
}

Child::~Child() {
  Wait();
  close(process_->to_child);
  close(process_->from_child);
  delete process_;
}

bool Child::WaitReady() {
  char byte;
  return read(process_->from_child, &byte, 1) == 1;
}

void Child::Go() {
  const char byte = 1;
  if (write(process_->to_child, &byte, 1) != 1) std::abort();
}

void Child::Kill() {
  if (process_->pid > 0) kill(process_->pid, SIGKILL);
}

int Child::Wait() {
  const pid_t pid = process_->pid;
  process_->pid = -1;
  int status = 0;
  if (pid <= 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

#endif

}  // namespace test_support
