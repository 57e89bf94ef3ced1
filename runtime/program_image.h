#pragma once

#include <cstdint>

#include "runtime/arg_cell.h"

namespace runtime {

// Every command has this one contract: it writes its result into `result` and reads
// `count` argument cells starting at `args` (none when count is 0).
using CommandFunction = void (*)(ArgCell* result, int32_t count, const ArgCell* args);

// A library's notify entry and the runtime's service entry share this shape:
// a numbered request with two parameters and a result.
using NotifyFunction = intptr_t (*)(int32_t code, intptr_t p1, intptr_t p2);

// The form machinery reaches a unit class only through the functions this hands out,
// one per operation code (null for an operation the class does not support).
using GetUnitInterfaceFunction = void* (*)(int32_t operation);

// An application routine without arguments (the start and end routines).
using Routine = void (*)();

// What an event handler gives back: a routine that returns nothing gives no value.
struct HandlerResult {
  bool has_value = false;
  int64_t value = 0;
};

// An event handler: it receives the event's arguments as 32-bit words in order (an 8-byte
// argument as two words, low word first). The application's routine table holds these;
// a handler offset in a template is a byte offset into that table.
using EventHandler = HandlerResult (*)(const int32_t* args, int32_t count);

// One property of a unit class. Property index i of a class is entry i of its array.
struct PropertyInfo {
  const char* name = nullptr;
  const char* english_name = nullptr;
  const char* explanation = nullptr;
  uint16_t type = 0;   // one of property_type below
  uint16_t state = 0;  // 0xE000 marks the eight base properties
  const char* const* pick_list = nullptr;
};

namespace property_type {
inline constexpr uint16_t kWord = 1000;         // a 32-bit value without further meaning
inline constexpr uint16_t kInteger = 1001;
inline constexpr uint16_t kLong = 1002;         // an 8-byte value
inline constexpr uint16_t kLogical = 1003;
inline constexpr uint16_t kDateTime = 1004;     // an 8-byte value
inline constexpr uint16_t kText = 1005;
inline constexpr uint16_t kPickList = 1006;     // an integer the class clamps into its choices
inline constexpr uint16_t kPicture = 1009;      // byte set: an image file
inline constexpr uint16_t kIcon = 1010;         // byte set: an icon file
inline constexpr uint16_t kMousePointer = 1011;
inline constexpr uint16_t kSound = 1012;        // byte set: a sound file
inline constexpr uint16_t kFont = 1013;         // byte set: the 60-byte logical-font record
inline constexpr uint16_t kColor = 1014;        // 0x00BBGGRR
inline constexpr uint16_t kColorOfSet = 1015;   // as kColor, one of a class's several colours
inline constexpr uint16_t kFileName = 1016;     // text
inline constexpr uint16_t kBackColor = 1017;    // as kColor; 0xFF000000 = the button face
inline constexpr uint16_t kDataSource = 1018;   // text
inline constexpr uint16_t kDataColumn = 1020;   // text
inline constexpr uint16_t kPictureGroup = 1023; // byte set: an image list
inline constexpr uint16_t kItemList = 1024;     // byte set: a tree's items
}  // namespace property_type

inline constexpr uint16_t kBasePropertyState = 0xE000;

// State-flag bits of a data type that the runtime reads.
namespace type_flag {
inline constexpr uint32_t kMenuClass = 1u << 2;
inline constexpr uint32_t kWindowClass = 1u << 6;
inline constexpr uint32_t kNeverRecreated = 1u << 4;
inline constexpr uint32_t kRecreateMovesChildren = 1u << 7;
inline constexpr uint32_t kKeepsCurrentPage = 1u << 8;
inline constexpr uint32_t kChildrenBelongToUnit = (1u << 9) | (1u << 21);
inline constexpr uint32_t kCheckedClearsSiblings = 1u << 10;
inline constexpr uint32_t kNoVisibleWindow = 1u << 15;
inline constexpr uint32_t kCreationNotifiesParent = 1u << 20;
}  // namespace type_flag

// A data type of a library: a unit class such as the window or the edit box. Types that
// the program does not use keep their slot with every field zero, so indices stay stable.
struct DataTypeInfo {
  const char* name = nullptr;  // Chinese class name, e.g. "编辑框" (GBK)
  const char* english_name = nullptr;
  const char* explanation = nullptr;
  int32_t method_count = 0;
  const int32_t* method_indexes = nullptr;
  uint32_t state_flags = 0;
  int32_t icon_resource = 0;
  int32_t event_count = 0;
  const void* events = nullptr;
  int32_t property_count = 0;
  const PropertyInfo* properties = nullptr;
  GetUnitInterfaceFunction get_unit_interface = nullptr;
  int32_t element_count = 0;
  const void* elements = nullptr;
};

inline constexpr uint32_t kLibraryFormatTag = 0x01312D65;

// A linked library: its data types and its command functions.
struct LibraryInfo {
  uint32_t format_tag = kLibraryFormatTag;
  const char* guid = nullptr;
  int32_t major_version = 0;
  int32_t minor_version = 0;
  int32_t build_number = 0;
  int32_t version_numbers[4] = {};
  const char* display_name = nullptr;  // GBK
  int32_t language = 1;
  const char* explanation = nullptr;
  uint32_t state_flags = 0;  // bits 31 and 30 mark system libraries
  const char* author_fields[8] = {};
  int32_t data_type_count = 0;
  const DataTypeInfo* data_types = nullptr;
  int32_t category_count = 0;
  const char* categories = nullptr;
  int32_t command_count = 0;
  const void* command_infos = nullptr;
  const CommandFunction* commands = nullptr;
  int32_t reserved_a[2] = {};
  NotifyFunction notify = nullptr;
  int32_t reserved_b[5] = {};
};

// The read-only header of the application's image.
struct ProgramImage {
  int32_t image_kind = 3;  // 2 would stop a runtime error in a debugger
  int32_t reserved = 0;
  int32_t id_seed = 0;  // unit serial numbers in the templates lie below it
  // Start of the application's routine table; a handler offset h in a template names the
  // address code_base + h (offset 0 is the first routine).
  const uint8_t* code_base = nullptr;
  const uint8_t* constant_pool = nullptr;
  int32_t constant_pool_size = 0;
  const uint8_t* template_block = nullptr;
  int32_t template_block_size = 0;
  int32_t library_count = 0;
  const LibraryInfo* const* libraries = nullptr;  // entries may be null
  int32_t dll_command_count = 0;
  const int32_t* dll_commands_a = nullptr;
  const int32_t* dll_commands_b = nullptr;
};

}  // namespace runtime
