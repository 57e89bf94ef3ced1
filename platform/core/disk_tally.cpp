#include "platform/core/disk_tally.h"

#include <atomic>
#include <thread>

namespace platform {
namespace {

thread_local DiskTally this_thread;
std::atomic<int64_t> process_flushes{0};
std::atomic<int64_t> process_flush_nanoseconds{0};
std::atomic<int64_t> process_bytes_written{0};
std::atomic<int64_t> flush_delay_ms{0};

}  // namespace

DiskTally ThisThreadsDiskTally() { return this_thread; }

DiskTally ProcessDiskTally() {
  return {process_flushes.load(), process_flush_nanoseconds.load(), process_bytes_written.load()};
}

void SetFlushDelay(std::chrono::milliseconds delay) { flush_delay_ms = delay.count(); }

void CountFlush(std::chrono::nanoseconds spent) {
  ++this_thread.flushes;
  this_thread.flush_nanoseconds += spent.count();
  ++process_flushes;
  process_flush_nanoseconds += spent.count();
}

void CountBytesWritten(int64_t bytes) {
  this_thread.bytes_written += bytes;
  process_bytes_written += bytes;
}

void WaitFlushDelay() {
  if (const int64_t delay = flush_delay_ms.load(); delay > 0)
    std::this_thread::sleep_for(std::chrono::milliseconds(delay));
}

}  // namespace platform
