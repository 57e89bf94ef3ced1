#ifndef INKSTONE_PLATFORM_CORE_FILE_VIEW_H_
#define INKSTONE_PLATFORM_CORE_FILE_VIEW_H_

#include <cstdint>

#include "platform/core/file.h"

namespace platform {

// A read-only view of a file's bytes in memory: the system's own cache of the file, shared
// with every process, so reading through it copies nothing. The view reserves more address
// space than the file holds, so it follows the file as it grows; writes through the File show
// in it at once.
//
// Touching a page past the end of the file ends the process, and another process may shorten
// the file at any moment: read only below the size the File last reported, and only inside
// ReadMappedPages, which turns such a touch into a false result.
class FileView {
 public:
  FileView() = default;
  ~FileView();
  FileView(const FileView&) = delete;
  FileView& operator=(const FileView&) = delete;

  // Maps the first `reserve` bytes of `file`, which must be open for reading. False when the
  // system refuses (the caller then reads as usual).
  bool Map(const File& file, int64_t reserve);
  void Unmap();
  bool IsMapped() const { return data_ != nullptr; }
  const uint8_t* data() const { return data_; }

 private:
  const uint8_t* data_ = nullptr;
  int64_t length_ = 0;
};

// Runs `body(context)`, which reads through FileViews. Returns false when it touched a page
// its file no longer has; `body` was then abandoned where it stood, so it must keep its state
// in objects owned by the caller and hold nothing that needs releasing (no objects with
// destructors in its frames, no locks, no allocations in flight at a mapped read).
bool ReadMappedPages(void (*body)(void*), void* context);

}  // namespace platform

#endif  // INKSTONE_PLATFORM_CORE_FILE_VIEW_H_
