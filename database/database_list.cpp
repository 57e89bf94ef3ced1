#include "database/database_list.h"

#include "database/error_codes.h"

namespace database {
namespace {

thread_local int32_t last_error = 0;

}  // namespace

int32_t LastDatabaseError() { return last_error; }
void SetLastDatabaseError(int32_t code) { last_error = code; }

DatabaseList& DatabaseList::Instance() {
  static DatabaseList list;
  return list;
}

int32_t DatabaseList::Open(OpenOptions options) {
  WaitBeforeUse();
  if (options.path.empty()) return code::kFileNotFound;
  options.path = ResolveDatabasePath(options.path);
  for (const auto& database : databases_) {
    if (NamesEqualIgnoringCase(database->full_path(), options.path)) return code::kAlreadyOpen;
  }
  std::unique_ptr<Database> database;
  const int32_t result = Database::Open(options, &database);
  if (result != code::kOk) return result;
  databases_.push_back(std::move(database));
  current_ = static_cast<int32_t>(databases_.size()) - 1;
  return code::kOk;
}

Database* DatabaseList::Current() {
  WaitBeforeUse();
  if (current_ < 0 || current_ >= static_cast<int32_t>(databases_.size())) return nullptr;
  return databases_[static_cast<size_t>(current_)].get();
}

void DatabaseList::Remove(int32_t k) {
  WaitBeforeUse();
  if (k < 0 || k >= static_cast<int32_t>(databases_.size())) return;
  databases_.erase(databases_.begin() + k);
  if (k == current_) {
    current_ = -1;
  } else if (k < current_) {
    --current_;
  }
}

void DatabaseList::CloseAll() {
  WaitBeforeUse();
  databases_.clear();
  current_ = -1;
}

Database* DatabaseList::FindByName(std::string_view name) {
  WaitBeforeUse();
  const auto search = [&](auto&& key) -> Database* {
    for (auto it = databases_.rbegin(); it != databases_.rend(); ++it) {
      const std::string& value = key(**it);
      if (!value.empty() && NamesEqualIgnoringCase(value, name)) return it->get();
    }
    return nullptr;
  };
  if (Database* found = search([](const Database& d) -> const std::string& { return d.alias(); })) {
    return found;
  }
  if (Database* found = search([](const Database& d) -> const std::string& { return d.title(); })) {
    return found;
  }
  return search([](const Database& d) -> const std::string& { return d.full_path(); });
}

}  // namespace database
