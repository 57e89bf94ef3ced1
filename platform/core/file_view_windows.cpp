// The mapped view on the Windows API. A section of a file cannot be larger than the file while
// the file is open only for reading, so the view holds the file as it was when mapped and is
// mapped anew when the file has grown (length() tells how far it reaches). Nothing can take a
// mapped page away: the system refuses to shorten a file while any process maps it. So a read
// below length() always succeeds, and ReadMappedPages needs no way to abandon its body.
#include <windows.h>

#include <algorithm>

#include "platform/core/file_view.h"

namespace platform {

FileView::~FileView() { Unmap(); }

bool FileView::Map(const File& file, int64_t reserve) {
  Unmap();
  if (!file.CanRead() || reserve <= 0) return false;
  const auto handle = reinterpret_cast<HANDLE>(file.handle_);
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(handle, &size) || size.QuadPart == 0) return false;  // nothing to map
  const int64_t length = std::min<int64_t>(size.QuadPart, reserve);
  const HANDLE section = CreateFileMappingW(handle, nullptr, PAGE_READONLY, 0, 0, nullptr);
  if (section == nullptr) return false;
  void* address = MapViewOfFile(section, FILE_MAP_READ, 0, 0, static_cast<SIZE_T>(length));
  CloseHandle(section);  // the view keeps the section alive
  if (address == nullptr) return false;
  data_ = static_cast<const uint8_t*>(address);
  length_ = length;
  return true;
}

void FileView::Unmap() {
  if (data_ == nullptr) return;
  UnmapViewOfFile(data_);
  data_ = nullptr;
  length_ = 0;
}

bool ReadMappedPages(void (*body)(void*), void* context) {
  body(context);
  return true;
}

}  // namespace platform
