#include "tests/database/database_test_support.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>

#include "database/checker.h"
#include "database/le_bytes.h"
#include "database/memo_file.h"
#include "platform/core/native_path.h"
#include "runtime/owned_blocks.h"

namespace database::testing {

TempFolder::TempFolder() {
  // A random name, taken only if no folder has it yet: tests run in parallel processes.
  std::random_device random;
  for (int attempt = 0; attempt < 100; ++attempt) {
    root_ = std::filesystem::temp_directory_path() /
            ("inkstone-db-" + std::to_string(random()) + "-" + std::to_string(random()));
    std::error_code error;
    if (std::filesystem::create_directory(root_, error)) return;
  }
  std::abort();
}

TempFolder::~TempFolder() {
  DatabaseList::Instance().CloseAll();
  std::error_code error;
  std::filesystem::remove_all(root_, error);
}

std::string TempFolder::Gbk(const std::string& name) const {
  return platform::GbkPathOf(root_ / name);
}

std::vector<uint8_t> ReadWholeFile(const std::string& native_path) {
  std::ifstream in(native_path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

void WriteWholeFile(const std::string& native_path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(native_path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

int32_t Word(const std::vector<uint8_t>& bytes, size_t offset) {
  return offset + 4 <= bytes.size() ? LoadI32(bytes.data() + offset) : 0;
}

void PutWord(std::vector<uint8_t>& bytes, size_t offset, int32_t value) {
  StoreI32(bytes.data() + offset, value);
}

std::vector<RawRecord> ReadRawRecords(const std::string& native_main,
                                      const std::string& native_memo) {
  const std::vector<uint8_t> main = ReadWholeFile(native_main);
  const std::vector<uint8_t> memo =
      native_memo.empty() ? std::vector<uint8_t>() : ReadWholeFile(native_memo);
  const int32_t count = Word(main, 16);
  const int32_t record_size = Word(main, 24);
  const int32_t field_count = Word(main, 112);
  const size_t data = 116 + 72 * static_cast<size_t>(field_count);
  std::vector<RawRecord> records;
  for (int32_t r = 0; r < count; ++r) {
    const size_t at = data + static_cast<size_t>(r) * record_size;
    RawRecord record;
    record.id = Word(main, at);
    for (int32_t f = 0; f < field_count; ++f) {
      const size_t definition = 116 + 72 * static_cast<size_t>(f);
      const int32_t type = Word(main, definition + 20);
      const int32_t offset = Word(main, definition + 24);
      const int32_t width = Word(main, definition + 28);
      if (type == 11 || type == 12) {
        std::string value;
        for (int32_t block = Word(main, at + offset), steps = 0; block != 0 && steps < 1000000;
             ++steps) {
          const size_t b = static_cast<size_t>(block) * 512;
          if (block < 0 || b + 512 > memo.size()) break;  // no memo file given, or a bad link
          value.append(reinterpret_cast<const char*>(memo.data() + b + 12),
                       static_cast<size_t>(Word(memo, b + 8)));
          block = Word(memo, b + 4);
        }
        record.values.push_back(value);
      } else {
        const int32_t size = type == 10 ? width : FieldTypeSize(type, 0);
        record.values.emplace_back(reinterpret_cast<const char*>(main.data() + at + offset),
                                   static_cast<size_t>(size));
      }
    }
    records.push_back(record);
  }
  return records;
}

std::vector<FieldSpec> ChapterFields() {
  return {{runtime::Gbk("姓名"), kMemoField, 0}, {runtime::Gbk("学号"), kByteSetField, 0}};
}

int32_t OpenDefault(const std::string& gbk_path, int32_t share_mode, bool read_only) {
  OpenOptions options;
  options.path = gbk_path;
  options.share_mode = share_mode;
  options.read_only = read_only;
  return DatabaseList::Instance().Open(options);
}

std::string OpensAndChecksSound(const std::string& native_main) {
  const std::string gbk = platform::GbkPathOf(native_main);
  const int32_t opened = OpenDefault(gbk);
  DatabaseList::Instance().CloseAll();
  if (opened != 0) return "the database does not open: " + std::to_string(opened);
  CheckReport report;
  if (CheckDatabase(gbk, {}, false, &report) != 0) return "the checker cannot open the files";
  if (!report.ok()) return "check: " + report.faults.front();
  return "";
}

int32_t SetText(Database& database, const std::string& field_gbk, const std::string& value) {
  runtime::Text text(value);
  const FieldUpdate update{field_gbk, text.Arg()};
  return database.UpdateRecords(nullptr, std::span<const FieldUpdate>(&update, 1));
}

std::string ReadText(Database& database, int32_t field) {
  std::string bytes;
  EXPECT_EQ(database.ReadField(field, &bytes), 0);
  return bytes;
}

}  // namespace database::testing
