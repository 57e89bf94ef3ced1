#include "tests/support/program_process.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/core/wide_text.h"
#else
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

extern char** environ;
#endif

namespace test_support {

namespace fs = std::filesystem;

#ifdef _WIN32

// The exit status a killed program gets; one that had already exited keeps its own.
constexpr UINT kKilledStatus = 0x4B494C4C;

struct ProgramProcess::Handle {
  HANDLE process = nullptr;
  DWORD id = 0;
};

ProgramProcess::ProgramProcess(const fs::path& program, const std::vector<std::string>& arguments)
    : handle_(new Handle) {
  std::wstring line = platform::QuotedArgument(program.wstring());
  for (const std::string& argument : arguments) {
    line += L' ';
    line += platform::QuotedArgument(platform::WideFromUtf8(argument));
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(program.wstring().c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &started)) {
    return;
  }
  CloseHandle(started.hThread);
  handle_->process = started.hProcess;
  handle_->id = started.dwProcessId;
}

bool ProgramProcess::Started() const { return handle_->process != nullptr; }

namespace {

struct WindowSearch {
  DWORD process_id;
  HWND found;
};

BOOL CALLBACK FindVisibleWindowOf(HWND window, LPARAM search_address) {
  auto* search = reinterpret_cast<WindowSearch*>(search_address);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->process_id || !IsWindowVisible(window)) return TRUE;
  search->found = window;
  return FALSE;
}

}  // namespace

void ProgramProcess::RequestEnd() {
  if (!Started()) return;
  // The system asks each top-level window; the program's answer to the first ends it. A
  // program without a window yet is asked again until one shows or it ends.
  for (int tries = 0; tries < 3000 && WaitForSingleObject(handle_->process, 0) == WAIT_TIMEOUT; ++tries) {
    WindowSearch search{handle_->id, nullptr};
    EnumWindows(&FindVisibleWindowOf, reinterpret_cast<LPARAM>(&search));
    if (search.found != nullptr) {
      DWORD_PTR may_end = 0;
      SendMessageTimeoutW(search.found, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF, SMTO_NORMAL, 30000,
                          &may_end);
      if (may_end != 0) {
        SendMessageTimeoutW(search.found, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF, SMTO_NORMAL, 30000,
                            nullptr);
      }
      return;
    }
    Sleep(10);
  }
}

void ProgramProcess::Kill() {
  if (Started()) TerminateProcess(handle_->process, kKilledStatus);
}

bool ProgramProcess::WaitAtMost(int timeout_ms) {
  return !Started() || WaitForSingleObject(handle_->process, static_cast<DWORD>(timeout_ms)) == WAIT_OBJECT_0;
}

std::optional<int> ProgramProcess::Wait() {
  if (!Started()) return std::nullopt;
  WaitForSingleObject(handle_->process, INFINITE);
  DWORD code = 0;
  const bool exited = GetExitCodeProcess(handle_->process, &code) && code != kKilledStatus;
  CloseHandle(handle_->process);
  handle_->process = nullptr;
  if (!exited) return std::nullopt;
  return static_cast<int>(code);
}

void SetVariable(const std::string& name, const std::string& value) {
  _wputenv_s(platform::WideFromUtf8(name).c_str(), platform::WideFromUtf8(value).c_str());
}

// An empty value removes the variable.
void UnsetVariable(const std::string& name) { _wputenv_s(platform::WideFromUtf8(name).c_str(), L""); }

#else

struct ProgramProcess::Handle {
  pid_t pid = -1;
  int status = 0;
  bool ended = false;
};

ProgramProcess::ProgramProcess(const fs::path& program, const std::vector<std::string>& arguments)
    : handle_(new Handle) {
  std::vector<std::string> words = {program.string()};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  if (posix_spawn(&handle_->pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) handle_->pid = -1;
}

bool ProgramProcess::Started() const { return handle_->pid > 0; }

void ProgramProcess::RequestEnd() {
  if (Started() && !handle_->ended) kill(handle_->pid, SIGTERM);
}

void ProgramProcess::Kill() {
  if (Started() && !handle_->ended) kill(handle_->pid, SIGKILL);
}

bool ProgramProcess::WaitAtMost(int timeout_ms) {
  if (!Started() || handle_->ended) return true;
  // The process's descriptor becomes readable when it ends: a wait with a timeout, no polling.
  const int process_fd = static_cast<int>(syscall(SYS_pidfd_open, handle_->pid, 0));
  if (process_fd >= 0) {
    pollfd ended{process_fd, POLLIN, 0};
    int ready = 0;
    do ready = poll(&ended, 1, timeout_ms);
    while (ready < 0 && errno == EINTR);
    close(process_fd);
  }
  if (waitpid(handle_->pid, &handle_->status, WNOHANG) == handle_->pid) handle_->ended = true;
  return handle_->ended;
}

std::optional<int> ProgramProcess::Wait() {
  if (!Started()) return std::nullopt;
  if (!handle_->ended && waitpid(handle_->pid, &handle_->status, 0) == handle_->pid) handle_->ended = true;
  if (!handle_->ended || !WIFEXITED(handle_->status)) return std::nullopt;
  return WEXITSTATUS(handle_->status);
}

void SetVariable(const std::string& name, const std::string& value) { setenv(name.c_str(), value.c_str(), 1); }

void UnsetVariable(const std::string& name) { unsetenv(name.c_str()); }

#endif

ProgramProcess::~ProgramProcess() {
  if (!WaitAtMost(0)) Kill();
  Wait();
  delete handle_;
}

}  // namespace test_support
