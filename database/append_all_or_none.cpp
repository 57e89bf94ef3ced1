#include "database/append_all_or_none.h"

#include "database/error_codes.h"

namespace database {

int32_t AppendAllOrNone(Database& db, std::span<const std::vector<FieldUpdate>> records,
                        AppendedRecords* appended) {
  *appended = {};
  const int32_t pointer = db.record_pointer();
  const auto put_pointer_back = [&] {
    db.GoFirst();
    db.Skip(pointer);
  };
  int32_t code = code::kOk;
  for (const std::vector<FieldUpdate>& updates : records) {
    code = db.AppendBlank(/*deleted=*/true);
    if (code != code::kOk) break;
    appended->numbers.push_back(db.record_pointer() + 1);
    int32_t id = 0;
    db.ReadRecordId(&id);
    appended->ids.push_back(id);
    code = db.UpdateRecords(nullptr, updates);
    if (code != code::kOk) break;
  }
  if (code == code::kOk) code = db.Flush();
  if (code != code::kOk) {
    put_pointer_back();
    return code;
  }
  for (; appended->live < appended->numbers.size(); ++appended->live) {
    db.GoFirst();
    code = db.Skip(appended->numbers[appended->live] - 1);
    if (code == code::kOk) code = db.MarkRecords(nullptr, false);
    if (code != code::kOk) break;
  }
  if (code == code::kOk) code = db.Flush();
  put_pointer_back();
  return code;
}

}  // namespace database
