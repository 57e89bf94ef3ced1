#pragma once

#include <cstdint>

namespace libraries {

// Positions of the core library's commands in its command array. Commands are called by
// address, so a position only has to stay stable.
enum CoreCommand : int32_t {
  // text
  kSpaceText,
  kSubstituteText,
  kTextLength,
  kMidText,
  kCharCode,
  kTrimLeadingSpaces,
  kConcatTexts,
  kCompareTexts,
  // files and folders
  kGetProgramDirectory,
  kCreateDirectory,
  kWriteBytesToFile,
  kDeleteFile,
  kCopyFile,
  // conversion and date-time
  kToText,
  kToNumber,
  kToByteSet,
  kGetNow,
  kGetDatePart,
  kGetHour,
  kGetMinute,
  kGetSecond,
  // database
  kOpenDatabase,
  kGoFirstRecord,
  kIsAfterLastRecord,
  kReadField,
  kSkipRecords,
  kModifyFields,
  kAppendBlankRecord,
  kDeleteRecords,
  kIsRecordDeleted,
  kGetRecordNumber,
  kPackDatabase,
  // system
  kMessageBox,
  // unit methods: the first argument is a unit reference (runtime::ArgCell::UnitReference)
  kSetFocus,
  kMove,
  kSendMessage,
  kDestroy,
  kAppendText,  // edit box
  kPopupMenu,   // window
  kOpen,        // common dialog
  kCoreCommandCount,
};

// Positions of the tree box's methods in the command array of "扩展界面支持库一".
enum TreeBoxCommand : int32_t {
  kAddItem,
  kSetItemText,
  kGetItemCount,
  kDeleteItem,
  kTreeBoxCommandCount,
};

// Positions of the core library's data types that the program uses; the other slots of
// its 51 stay empty.
enum CoreType : int32_t {
  kWindowType = 0,
  kMenuType = 2,
  kEditBoxType = 4,
  kGroupBoxType = 8,
  kLabelType = 9,
  kButtonType = 10,
  kColorPickerType = 27,
  kCommonDlgType = 30,
  kTimerType = 31,
  kPicBtnType = 44,
  kCoreTypeCount = 51,
};

}  // namespace libraries
