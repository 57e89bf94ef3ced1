#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "database/database.h"

// The open databases of the process and the current one. One thread works with them through
// this list (the user-interface thread); other processes are kept out by file locks. Another
// thread may be handed a database to write into meanwhile (the desk's writer): its owner sets a
// hook that every use through the list runs first, which waits until that thread is done.

namespace database {

class DatabaseList {
 public:
  // The process's list. Every remaining database is closed at program end.
  static DatabaseList& Instance();

  // Opens a database and makes it current. Fails with kAlreadyOpen when a database of the
  // same full path (case ignored) is open; the current one then stays current.
  int32_t Open(OpenOptions options);

  Database* Current();
  int32_t current_index() const { return current_; }
  int32_t size() const { return static_cast<int32_t>(databases_.size()); }
  Database* At(int32_t k) {
    WaitBeforeUse();
    return databases_[static_cast<size_t>(k)].get();
  }

  // Run before every use through the list (null: none).
  void SetWaitBeforeUse(std::function<void()> wait) { wait_before_use_ = std::move(wait); }

  // Closes entry k; the current index follows.
  void Remove(int32_t k);
  void CloseAll();

  // The database whose alias (non-empty ones), else title, else full path equals `name`
  // (case ignored), each time from the most recently opened one back; null when none.
  Database* FindByName(std::string_view name);

 private:
  void WaitBeforeUse() {
    if (wait_before_use_) wait_before_use_();
  }

  std::vector<std::unique_ptr<Database>> databases_;
  std::function<void()> wait_before_use_;
  int32_t current_ = -1;
};

// The code of the last database command on this thread, 0 when it succeeded.
int32_t LastDatabaseError();
void SetLastDatabaseError(int32_t code);

}  // namespace database
