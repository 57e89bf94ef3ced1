#include <setjmp.h>
#include <signal.h>
#include <sys/mman.h>

#include <mutex>

#include "platform/core/file_view.h"

namespace platform {
namespace {

// Where a fault inside ReadMappedPages resumes, per thread; null outside it.
thread_local sigjmp_buf* t_resume = nullptr;
struct sigaction g_previous_action;

void OnBusError(int signal, siginfo_t* info, void* context) {
  if (t_resume != nullptr) siglongjmp(*t_resume, 1);
  // Not ours: hand the signal to whoever had it before, or let it end the process.
  if (g_previous_action.sa_flags & SA_SIGINFO) {
    if (g_previous_action.sa_sigaction != nullptr) {
      g_previous_action.sa_sigaction(signal, info, context);
      return;
    }
  } else if (g_previous_action.sa_handler != SIG_DFL && g_previous_action.sa_handler != SIG_IGN) {
    g_previous_action.sa_handler(signal);
    return;
  }
  ::signal(SIGBUS, SIG_DFL);  // the faulting read runs again and ends the process
}

void InstallBusErrorHandler() {
  static std::once_flag once;
  std::call_once(once, [] {
    struct sigaction action = {};
    action.sa_sigaction = &OnBusError;
    // SA_NODEFER: the jump leaves the handler without restoring the signal mask, which must
    // therefore never have blocked SIGBUS.
    action.sa_flags = SA_SIGINFO | SA_NODEFER;
    sigemptyset(&action.sa_mask);
    sigaction(SIGBUS, &action, &g_previous_action);
  });
}

}  // namespace

FileView::~FileView() { Unmap(); }

bool FileView::Map(const File& file, int64_t reserve) {
  Unmap();
  if (!file.CanRead() || reserve <= 0) return false;
  void* address =
      mmap(nullptr, static_cast<size_t>(reserve), PROT_READ, MAP_SHARED, file.handle_, 0);
  if (address == MAP_FAILED) return false;
  InstallBusErrorHandler();
  data_ = static_cast<const uint8_t*>(address);
  length_ = reserve;
  return true;
}

void FileView::Unmap() {
  if (data_ == nullptr) return;
  munmap(const_cast<uint8_t*>(data_), static_cast<size_t>(length_));
  data_ = nullptr;
  length_ = 0;
}

bool ReadMappedPages(void (*body)(void*), void* context) {
  sigjmp_buf resume;
  sigjmp_buf* const outer = t_resume;
  // No signal mask is saved: saving it would cost a system call on every run.
  if (sigsetjmp(resume, 0) != 0) {
    t_resume = outer;
    return false;
  }
  t_resume = &resume;
  body(context);
  t_resume = outer;
  return true;
}

}  // namespace platform
