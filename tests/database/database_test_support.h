#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "database/creator.h"
#include "database/database.h"
#include "database/database_list.h"
#include "gtest/gtest.h"
#include "runtime/gbk_literal.h"

namespace database::testing {

// A fresh folder per test, removed afterwards; every open database is closed first.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  // A native path inside the folder.
  std::string Native(const std::string& name) const { return (root_ / name).string(); }
  // The path of a UTF-8 name inside the folder, on every system (Native reads a name with
  // other than ASCII letters in the ANSI code page on Windows).
  std::filesystem::path Path(std::string_view utf8_name) const {
    return root_ / std::u8string(utf8_name.begin(), utf8_name.end());
  }
  // The same as a GBK path for the engine.
  std::string Gbk(const std::string& name) const;

 private:
  std::filesystem::path root_;
};

std::vector<uint8_t> ReadWholeFile(const std::string& native_path);
void WriteWholeFile(const std::string& native_path, const std::vector<uint8_t>& bytes);

int32_t Word(const std::vector<uint8_t>& bytes, size_t offset);
void PutWord(std::vector<uint8_t>& bytes, size_t offset, int32_t value);

// An independent reading of a main file and its memo file, straight from the bytes: the
// memo chains are followed by hand, not by the engine.
struct RawRecord {
  int32_t id = 0;
  std::vector<std::string> values;  // stored bytes; memo fields: the chain's bytes
};
std::vector<RawRecord> ReadRawRecords(const std::string& native_main,
                                      const std::string& native_memo);

// The chapter database's layout: "姓名" memo text and "学号" byte set.
std::vector<FieldSpec> ChapterFields();

// Opens `gbk_path` through the list with the default options and returns the code.
int32_t OpenDefault(const std::string& gbk_path, int32_t share_mode = 0, bool read_only = false);

// Opens the database at the native path for writing (which finishes a pack a crash left),
// closes it and checks it: empty when all went well (leaked blocks are allowed), else why not.
std::string OpensAndChecksSound(const std::string& native_main);

// Sets one field of the current record to a text (memo or text field) and returns the code.
int32_t SetText(Database& database, const std::string& field_gbk, const std::string& value);
std::string ReadText(Database& database, int32_t field);

}  // namespace database::testing
