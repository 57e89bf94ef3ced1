#include "database/database_commands.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "database/database_list.h"
#include "database/error_codes.h"
#include "runtime/blocks.h"
#include "runtime/cell_values.h"
#include "runtime/error_report.h"
#include "runtime/gbk_literal.h"

namespace database {
namespace {

using runtime::ArgCell;

constexpr int32_t kWrongArgumentType = 11;  // "所提供参数的数据类型不符合要求"

const ArgCell* Arg(int32_t count, const ArgCell* args, int32_t i) {
  return i < count && args[i].type != runtime::kNoValue ? &args[i] : nullptr;
}

std::string TextArg(const ArgCell& cell) {
  if (cell.type != runtime::kText) runtime::ReportRuntimeError(kWrongArgumentType);
  return std::string(runtime::TextOf(cell.AsPointer<const char>()));
}

// Sets LastDatabaseError to `code` and returns whether it is 0.
bool Finish(int32_t code) {
  SetLastDatabaseError(code);
  return code == code::kOk;
}

// The current database, or null after leaving kNoCurrentDatabase.
Database* CurrentOrFail() {
  SetLastDatabaseError(code::kOk);
  Database* database = DatabaseList::Instance().Current();
  if (database == nullptr) SetLastDatabaseError(code::kNoCurrentDatabase);
  return database;
}

}  // namespace

void OpenDatabase(ArgCell* result, int32_t count, const ArgCell* args) {
  SetLastDatabaseError(code::kOk);
  OpenOptions options;
  if (const ArgCell* path = Arg(count, args, 0)) options.path = TextArg(*path);
  if (const ArgCell* alias = Arg(count, args, 1)) options.alias = TextArg(*alias);
  if (const ArgCell* read_only = Arg(count, args, 2)) {
    options.read_only =
        (read_only->type == runtime::kLogical ? static_cast<int32_t>(read_only->low)
                                              : runtime::CellToInt32(*read_only)) == 1;
  }
  if (const ArgCell* share = Arg(count, args, 3))
    options.share_mode = runtime::CellToInt32(*share) - 1;
  if (const ArgCell* password = Arg(count, args, 5); password && password->type == runtime::kText) {
    options.password = TextArg(*password);
  }
  for (int32_t i = 6; i < count; ++i) {
    const ArgCell& cell = args[i];
    if (cell.type == runtime::kNoValue) continue;
    if (cell.type == (runtime::kText | runtime::kArrayFlag)) {
      const void* block = cell.AsPointer<const void>();
      const int64_t elements = runtime::ArrayElementCount(block);
      const auto* first = static_cast<const uint8_t*>(block) + runtime::ArrayHeaderSize(block);
      for (int64_t e = 0; e < elements; ++e) {
        const char* text;
        std::memcpy(&text, first + e * static_cast<int64_t>(sizeof(char*)), sizeof(char*));
        if (!runtime::TextOf(text).empty()) options.index_names.emplace_back(text);
      }
    } else if (const std::string name = TextArg(cell); !name.empty()) {
      options.index_names.push_back(name);
    }
  }
  *result = ArgCell::Logical(Finish(DatabaseList::Instance().Open(std::move(options))));
}

void GoFirstRecord(ArgCell* result, int32_t, const ArgCell*) {
  *result = ArgCell();
  if (Database* database = CurrentOrFail()) database->GoFirst();
}

void IsAfterLastRecord(ArgCell* result, int32_t, const ArgCell*) {
  Database* database = CurrentOrFail();
  bool after = false;
  if (database != nullptr) Finish(database->IsAfterLast(&after));
  *result = ArgCell::Logical(after);
}

void ReadField(ArgCell* result, int32_t count, const ArgCell* args) {
  SetLastDatabaseError(code::kOk);
  Database* database = DatabaseList::Instance().Current();
  if (database == nullptr)
    runtime::ReportError(runtime::Gbk("未指定当前数据库或者指定数据库未打开"));
  if (count < 1) runtime::ReportRuntimeError(kWrongArgumentType);
  int32_t field = -1;
  if (args[0].type == runtime::kText) {
    field = database->FieldByName(runtime::TextOf(args[0].AsPointer<const char>()));
  } else if (runtime::IsNumericType(args[0].type)) {
    const int32_t number = runtime::CellToInt32(args[0]);
    field = number >= 1 ? number - 1 : -1;
  } else {
    runtime::ReportRuntimeError(kWrongArgumentType);
  }
  const FieldDefinition* definition = database->FieldByNumber(field);
  if (definition == nullptr) runtime::ReportError(runtime::Gbk("指定字段不存在"));

  std::string bytes;
  const bool ok = Finish(database->ReadField(field, &bytes));
  const runtime::TypeCode type = FieldValueType(definition->type);
  if (type == runtime::kText) {
    *result = ArgCell::Text(ok ? runtime::MakeText(bytes) : nullptr);
  } else if (type == runtime::kByteSet) {
    *result = ArgCell::ByteSet(
        ok ? runtime::MakeByteSet(bytes.data(), static_cast<int32_t>(bytes.size())) : nullptr);
  } else if (type == runtime::kLogical) {
    *result = ArgCell::Logical(ok && bytes.size() >= 2 && (bytes[0] != 0 || bytes[1] != 0));
  } else {
    uint8_t payload[8] = {};
    if (ok) std::memcpy(payload, bytes.data(), std::min<size_t>(bytes.size(), 8));
    *result = ArgCell();
    std::memcpy(&result->low, payload, 4);
    std::memcpy(&result->high, payload + 4, 4);
    result->type = type;
  }
}

void SkipRecords(ArgCell* result, int32_t count, const ArgCell* args) {
  Database* database = CurrentOrFail();
  if (database == nullptr) {
    *result = ArgCell::Logical(false);
    return;
  }
  const ArgCell* n = Arg(count, args, 0);
  *result = ArgCell::Logical(Finish(database->Skip(n != nullptr ? runtime::CellToInt32(*n) : 1)));
}

void ModifyFields(ArgCell* result, int32_t count, const ArgCell* args) {
  Database* database = CurrentOrFail();
  if (database == nullptr) {
    *result = ArgCell::Logical(false);
    return;
  }
  std::vector<FieldUpdate> updates;
  for (int32_t pair = 0; pair < (count - 1) / 2; ++pair) {
    const ArgCell& name = args[1 + 2 * pair];
    updates.push_back({TextArg(name), args[2 + 2 * pair]});
  }
  *result = ArgCell::Logical(Finish(database->UpdateRecords(Arg(count, args, 0), updates)));
}

void AppendBlankRecord(ArgCell* result, int32_t, const ArgCell*) {
  Database* database = CurrentOrFail();
  *result = ArgCell::Logical(database != nullptr && Finish(database->AppendBlank()));
}

void DeleteRecords(ArgCell* result, int32_t count, const ArgCell* args) {
  Database* database = CurrentOrFail();
  *result = ArgCell::Logical(database != nullptr &&
                             Finish(database->MarkRecords(Arg(count, args, 0), /*deleted=*/true)));
}

void IsRecordDeleted(ArgCell* result, int32_t, const ArgCell*) {
  Database* database = CurrentOrFail();
  bool deleted = false;
  if (database != nullptr && !Finish(database->IsDeleted(&deleted))) deleted = false;
  *result = ArgCell::Logical(deleted);
}

void GetRecordNumber(ArgCell* result, int32_t, const ArgCell*) {
  Database* database = CurrentOrFail();
  *result = ArgCell::Int(database != nullptr ? database->record_pointer() + 1 : 0);
}

void PackDatabase(ArgCell* result, int32_t, const ArgCell*) {
  Database* database = CurrentOrFail();
  *result = ArgCell::Logical(database != nullptr && Finish(database->Pack()));
}

}  // namespace database
