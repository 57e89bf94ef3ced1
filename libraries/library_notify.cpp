#include "libraries/library_notify.h"

#include <atomic>

#include "database/database_list.h"

namespace libraries {

namespace {
std::atomic<runtime::NotifyFunction> runtime_entry{nullptr};
}

intptr_t StandardLibraryNotify(int32_t code, intptr_t p1, intptr_t) {
  switch (code) {
    case 1: runtime_entry = reinterpret_cast<runtime::NotifyFunction>(p1); return 0;
    case 6: return 0;
    default: return -1;
  }
}

intptr_t CoreLibraryNotify(int32_t code, intptr_t p1, intptr_t p2) {
  if (code == 6) database::DatabaseList::Instance().CloseAll();
  return StandardLibraryNotify(code, p1, p2);
}

runtime::NotifyFunction RuntimeEntry() { return runtime_entry; }

}  // namespace libraries
