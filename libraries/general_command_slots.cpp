#include "commands/conversion_commands.h"
#include "commands/date_time_commands.h"
#include "commands/file_commands.h"
#include "commands/system_commands.h"
#include "commands/text_commands.h"
#include "libraries/core_command_slots.h"
#include "libraries/core_commands.h"

namespace libraries {

void FillGeneralCommandSlots(runtime::CommandFunction* slots) {
  // text
  slots[kSpaceText] = &commands::SpaceText;
  slots[kSubstituteText] = &commands::SubstituteText;
  slots[kTextLength] = &commands::TextLength;
  slots[kMidText] = &commands::MidText;
  slots[kCharCode] = &commands::CharCode;
  slots[kTrimLeadingSpaces] = &commands::TrimLeadingSpaces;
  slots[kConcatTexts] = &commands::ConcatTexts;
  slots[kCompareTexts] = &commands::CompareTexts;
  // files and folders
  slots[kGetProgramDirectory] = &commands::GetProgramDirectory;
  slots[kCreateDirectory] = &commands::CreateDirectory;
  slots[kWriteBytesToFile] = &commands::WriteBytesToFile;
  slots[kDeleteFile] = &commands::DeleteFile;
  slots[kCopyFile] = &commands::CopyFile;
  // conversion and date-time
  slots[kToText] = &commands::ToText;
  slots[kToNumber] = &commands::ToNumber;
  slots[kToByteSet] = &commands::ToByteSet;
  slots[kGetNow] = &commands::GetNow;
  slots[kGetDatePart] = &commands::GetDatePart;
  slots[kGetHour] = &commands::GetHour;
  slots[kGetMinute] = &commands::GetMinute;
  slots[kGetSecond] = &commands::GetSecond;
  // system
  slots[kMessageBox] = &commands::MessageBox;
}

}  // namespace libraries
