#ifndef INKSTONE_PLATFORM_CORE_FILE_VIEW_H_
#define INKSTONE_PLATFORM_CORE_FILE_VIEW_H_

#include <cstdint>

#include "platform/core/file.h"

namespace platform {

// A read-only view of a file's bytes in memory: the system's own cache of the file, shared
// with every process, so reading through it copies nothing; writes through the File show in it
// at once. Where the system allows, the view reserves more address space than the file holds and
// so follows the file as it grows; elsewhere it holds the file as it was when mapped, and a file
// that has grown past it is mapped anew. length() tells which: never read at or past it.
//
// Touching a page past the end of the file ends the process, and another process may shorten
// the file at any moment where the system allows it: read only below the size the File last
// reported, and only inside ReadMappedPages, which turns such a touch into a false result.
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
  // The bytes from data() on that the view reaches (0 when unmapped).
  int64_t length() const { return length_; }

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
