#pragma once

#include <chrono>
#include <cstdint>

// What the process asked of the disk, counted by File: its flushes, the time spent in them, and
// the bytes it wrote. Per thread and for the whole process, so that a benchmark or a test can
// tell which thread waited for the disk and how much work a typed key cost.

namespace platform {

struct DiskTally {
  int64_t flushes = 0;
  int64_t flush_nanoseconds = 0;  // spent in File::Flush, an armed flush delay included
  int64_t bytes_written = 0;

  DiskTally operator-(const DiskTally& earlier) const {
    return {flushes - earlier.flushes, flush_nanoseconds - earlier.flush_nanoseconds,
            bytes_written - earlier.bytes_written};
  }
};

DiskTally ThisThreadsDiskTally();
DiskTally ProcessDiskTally();

// A slow disk for benchmarks and tests: every File::Flush first waits `delay` (0: none), as a
// hard disk, a USB stick or a network folder takes 5–100 ms to put a file's bytes on the device.
void SetFlushDelay(std::chrono::milliseconds delay);

// Called by File.
void CountFlush(std::chrono::nanoseconds spent);
void CountBytesWritten(int64_t bytes);
void WaitFlushDelay();

}  // namespace platform
