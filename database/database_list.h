#pragma once

#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "database/database.h"

// The open databases of the process and the current one. One thread at a time works with
// them (the user-interface thread); other processes are kept out by file locks.

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
  Database* At(int32_t k) { return databases_[static_cast<size_t>(k)].get(); }

  // Closes entry k; the current index follows.
  void Remove(int32_t k);
  void CloseAll();

  // The database whose alias (non-empty ones), else title, else full path equals `name`
  // (case ignored), each time from the most recently opened one back; null when none.
  Database* FindByName(std::string_view name);

 private:
  std::vector<std::unique_ptr<Database>> databases_;
  int32_t current_ = -1;
};

// The code of the last database command on this thread, 0 when it succeeded.
int32_t LastDatabaseError();
void SetLastDatabaseError(int32_t code);

}  // namespace database
