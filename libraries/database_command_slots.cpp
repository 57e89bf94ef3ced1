#include "database/database_commands.h"
#include "libraries/core_command_slots.h"
#include "libraries/core_commands.h"

namespace libraries {

void FillDatabaseCommandSlots(runtime::CommandFunction* slots) {
  slots[kOpenDatabase] = &database::OpenDatabase;
  slots[kGoFirstRecord] = &database::GoFirstRecord;
  slots[kIsAfterLastRecord] = &database::IsAfterLastRecord;
  slots[kReadField] = &database::ReadField;
  slots[kSkipRecords] = &database::SkipRecords;
  slots[kModifyFields] = &database::ModifyFields;
  slots[kAppendBlankRecord] = &database::AppendBlankRecord;
  slots[kDeleteRecords] = &database::DeleteRecords;
  slots[kIsRecordDeleted] = &database::IsRecordDeleted;
  slots[kGetRecordNumber] = &database::GetRecordNumber;
  slots[kPackDatabase] = &database::PackDatabase;
}

}  // namespace libraries
