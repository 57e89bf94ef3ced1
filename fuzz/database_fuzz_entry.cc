#include "fuzz/database_fuzz_entry.h"

#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "database/checker.h"
#include "database/database_list.h"
#include "database/le_bytes.h"
#include "platform/core/native_path.h"
#include "runtime/owned_blocks.h"

namespace fuzz {
namespace {

namespace fs = std::filesystem;

const fs::path& Folder() {
  static const fs::path folder = [] {
    fs::path path = fs::temp_directory_path() / ("inkstone-fuzz-" + std::to_string(getpid()));
    fs::create_directories(path);
    return path;
  }();
  return folder;
}

void Write(const fs::path& path, const uint8_t* bytes, size_t size) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes), static_cast<std::streamsize>(size));
}

}  // namespace

void PackDatabaseFiles(const uint8_t* main, size_t main_size, const uint8_t* memo, size_t memo_size,
                       const uint8_t* index, size_t index_size, uint8_t* out) {
  database::StoreI32(out, static_cast<int32_t>(main_size));
  database::StoreI32(out + 4, static_cast<int32_t>(memo_size));
  if (main_size > 0) std::memcpy(out + 8, main, main_size);
  if (memo_size > 0) std::memcpy(out + 8 + main_size, memo, memo_size);
  if (index_size > 0) std::memcpy(out + 8 + main_size + memo_size, index, index_size);
}

int FuzzDatabaseFiles(const uint8_t* data, size_t size) {
  if (size < 8) return 0;
  const auto main_size = static_cast<uint32_t>(database::LoadI32(data));
  const auto memo_size = static_cast<uint32_t>(database::LoadI32(data + 4));
  if (main_size > size - 8 || memo_size > size - 8 - main_size) return 0;
  const uint8_t* main = data + 8;
  const uint8_t* memo = main + main_size;
  const uint8_t* index = memo + memo_size;
  const size_t index_size = size - 8 - main_size - memo_size;
  const fs::path& folder = Folder();
  Write(folder / "f.edb", main, main_size);
  Write(folder / "f.edt", memo, memo_size);
  Write(folder / "f.enx", index, index_size);
  std::error_code error;
  fs::remove(folder / "f.edb.pack", error);

  database::DatabaseList& list = database::DatabaseList::Instance();
  list.CloseAll();
  database::OpenOptions options;
  options.path = platform::GbkPathOf(folder / "f.edb");
  options.index_names = {index_size > 0 ? "f" : ""};
  if (list.Open(options) != 0) {
    options.index_names.clear();  // the main and memo files may still be readable alone
    if (list.Open(options) != 0) return 0;
  }
  database::Database& db = *list.Current();
  int32_t count = 0;
  int32_t next_id = 0;
  db.RecordCount(&count, &next_id);
  db.GoFirst();
  std::string bytes;
  for (int32_t r = 0; r < count && r < 4096; ++r) {
    for (int32_t f = 0; f < static_cast<int32_t>(db.fields().size()); ++f) db.ReadField(f, &bytes);
    bool deleted = false;
    db.IsDeleted(&deleted);
    if (db.Skip(1) != 0) break;
  }
  for (int32_t k = 0; k < db.index_count(); ++k) {
    std::vector<std::pair<std::string, int32_t>> entries;
    db.index(k)->ReadAll(&entries);
  }
  // Saves over whatever chains the files hold: each value differs from the stored one in its
  // middle and its end, so a save keeps some blocks and replaces others; closing then puts
  // the replaced ones on the free list.
  db.GoFirst();
  for (int32_t r = 0; r < count && r < 8; ++r) {
    for (const database::FieldDefinition& field : db.fields()) {
      if (!field.IsMemo()) continue;
      db.ReadField(static_cast<int32_t>(&field - db.fields().data()), &bytes);
      if (!bytes.empty()) bytes[bytes.size() / 2] = static_cast<char>(bytes[bytes.size() / 2] ^ 1);
      bytes += "x";
      runtime::Text text(bytes);
      runtime::ByteSet set(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
      const database::FieldUpdate update{
          field.name, field.type == database::kMemoField ? text.Arg() : set.Arg()};
      db.UpdateRecords(nullptr, std::span(&update, 1));
    }
    if (db.Skip(1) != 0) break;
  }
  list.CloseAll();
  database::CheckReport report;
  database::CheckDatabase(options.path, {}, false, &report);
  return 0;
}

}  // namespace fuzz
