// Writes the same sample database on every system, for comparing what each system's build writes
// and reads: write_sample_database <main file> (a UTF-8 path). Every field type, Chinese texts,
// a character outside GBK, a long memo text, a record changed after it was written, two deleted
// records and a pack that drops one of them.
#include <cstdio>
#include <span>
#include <string>
#include <vector>

#include "database/creator.h"
#include "database/database.h"
#include "database/database_list.h"
#include "platform/core/code_page.h"
#include "platform/core/native_path.h"
#include "platform/core/process.h"
#include "runtime/arg_cell.h"
#include "runtime/owned_blocks.h"

namespace {

using database::FieldUpdate;
using runtime::ArgCell;

std::string Gbk(const std::string& utf8) { return platform::Utf8ToGbk(utf8); }

bool Set(database::Database& db, const std::string& utf8_field, const ArgCell& value) {
  const FieldUpdate update{Gbk(utf8_field), value};
  return db.UpdateRecords(nullptr, std::span(&update, 1)) == 0;
}

bool SetText(database::Database& db, const std::string& utf8_field, const std::string& gbk) {
  runtime::Text text(gbk);
  return Set(db, utf8_field, text.Arg());
}

bool WriteRecord(database::Database& db, int i) {
  const std::string chapter = "第" + std::to_string(i) + "章 夜雨" + (i % 7 == 0 ? "𠀀" : "");
  std::string body = Gbk("　　" + chapter + "，雨落在渡口。\r\n");
  // Texts from a few bytes to past 64 memo blocks.
  for (int repeat = 0; repeat < (i * i * 37) % 2000; ++repeat) body += Gbk("风起于青萍之末。");
  const std::vector<uint8_t> bytes = {static_cast<uint8_t>(i), 0, 0xFF, 0x80};
  runtime::ByteSet byte_set(bytes);
  return db.AppendBlank() == 0 && SetText(db, "名称", Gbk(chapter)) && SetText(db, "正文", body) &&
         SetText(db, "作者", Gbk(i % 2 ? "林" : "Lin")) &&
         Set(db, "序号", ArgCell::Int(i * 1000)) &&
         Set(db, "字数", ArgCell::Long(int64_t{i} << 33)) &&
         Set(db, "进度", ArgCell::Double(i / 3.0)) &&
         Set(db, "完结", ArgCell::Logical(i % 3 == 0)) &&
         Set(db, "更新", ArgCell::DateTime(46000.25 + i)) && Set(db, "附件", byte_set.Arg());
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> arguments = platform::CommandLineArguments(argc, argv);
  if (arguments.size() != 2) {
    std::fputs("usage: write_sample_database <main file>\n", stderr);
    return 2;
  }
  const std::string path = platform::GbkPath(arguments[1]);
  const std::vector<database::FieldSpec> fields = {
      {Gbk("名称"), database::kMemoField, 0},    {Gbk("正文"), database::kMemoField, 0},
      {Gbk("作者"), database::kTextField, 12},   {Gbk("序号"), database::kIntField, 0},
      {Gbk("字数"), database::kLongField, 0},    {Gbk("进度"), database::kDoubleField, 0},
      {Gbk("完结"), database::kLogicalField, 0}, {Gbk("更新"), database::kDateTimeField, 0},
      {Gbk("附件"), database::kByteSetField, 0},
  };
  if (database::CreateDatabase(path, fields) != 0) return 1;
  database::OpenOptions options;
  options.path = path;
  auto& list = database::DatabaseList::Instance();
  if (list.Open(options) != 0) return 1;
  database::Database& db = *list.Current();
  for (int i = 1; i <= 30; ++i) {
    if (!WriteRecord(db, i)) return 1;
  }
  // The fifth chapter rewritten shorter, the tenth and twentieth deleted, the tenth packed away.
  db.GoFirst();
  if (db.Skip(4) != 0 || !SetText(db, "正文", Gbk("改写。"))) return 1;
  db.GoFirst();
  if (db.Skip(9) != 0 || db.MarkRecords(nullptr, true) != 0 || db.Pack() != 0) return 1;
  db.GoFirst();
  if (db.Skip(18) != 0 || db.MarkRecords(nullptr, true) != 0) return 1;
  list.CloseAll();
  return 0;
}
