#include "libraries/library_table.h"

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "libraries/core_commands.h"
#include "libraries/library_notify.h"
#include "runtime/gbk_literal.h"
#include "units/unit_classes.h"

namespace libraries {

namespace {

using runtime::DataTypeInfo;
using runtime::LibraryInfo;
using runtime::PropertyInfo;

// Names are kept as GBK for as long as the program runs.
const char* GbkName(const char* utf8) {
  static auto* names = new std::vector<std::unique_ptr<std::string>>;
  names->push_back(std::make_unique<std::string>(runtime::Gbk(utf8)));
  return names->back()->c_str();
}

// The eight properties every window unit starts with: left, top, width, height, tag,
// visible, disabled, mouse pointer.
const PropertyInfo* BaseProperties() {
  using namespace runtime::property_type;
  static const PropertyInfo properties[8] = {
      {nullptr, nullptr, nullptr, kInteger, runtime::kBasePropertyState, nullptr},
      {nullptr, nullptr, nullptr, kInteger, runtime::kBasePropertyState, nullptr},
      {nullptr, nullptr, nullptr, kInteger, runtime::kBasePropertyState, nullptr},
      {nullptr, nullptr, nullptr, kInteger, runtime::kBasePropertyState, nullptr},
      {nullptr, nullptr, nullptr, kText, runtime::kBasePropertyState, nullptr},
      {nullptr, nullptr, nullptr, kLogical, runtime::kBasePropertyState, nullptr},
      {nullptr, nullptr, nullptr, kLogical, runtime::kBasePropertyState, nullptr},
      {nullptr, nullptr, nullptr, kMousePointer, runtime::kBasePropertyState, nullptr},
  };
  return properties;
}

struct UsedType {
  int32_t index;
  const char* name;  // UTF-8
  const char* english_name;
  uint32_t flags;
  bool is_window_unit;  // the menu is built by the form loader and has no base properties
  runtime::TypeRef ref = 0;  // set by MakeTypes
};

// A data type array of `count` slots; the program's types fill theirs, the others stay
// all zero so that type indices stay stable.
// The program's own types take their description from their unit class when it is
// linked in.
const DataTypeInfo* MakeTypes(int32_t library, int32_t count, std::initializer_list<UsedType> used_types) {
  auto* types = new DataTypeInfo[static_cast<size_t>(count)]();
  for (UsedType type : used_types) {
    type.ref = runtime::MakeTypeRef(library, type.index);
    DataTypeInfo& info = types[type.index];
    info.name = GbkName(type.name);
    info.english_name = type.english_name;
    info.state_flags = type.flags;
    if (const units::UnitClass* unit_class = units::FindUnitClass(type.ref)) {
      info.property_count = unit_class->property_count;
      info.properties = unit_class->properties;
      info.get_unit_interface = unit_class->get_unit_interface;
    } else if (type.is_window_unit) {
      info.property_count = 8;
      info.properties = BaseProperties();
    }
  }
  return types;
}

struct LibraryDescription {
  const char* guid;
  const char* display_name;  // UTF-8
  int32_t major, minor, build;
  int32_t version_numbers[4];
  uint32_t flags;
  int32_t type_count;
  const DataTypeInfo* types;
  int32_t command_count;
  const runtime::CommandFunction* commands;
  runtime::NotifyFunction notify = &StandardLibraryNotify;
};

const LibraryInfo* MakeLibrary(const LibraryDescription& description) {
  auto* library = new LibraryInfo;
  library->guid = description.guid;
  library->major_version = description.major;
  library->minor_version = description.minor;
  library->build_number = description.build;
  for (int i = 0; i < 4; ++i) library->version_numbers[i] = description.version_numbers[i];
  library->display_name = GbkName(description.display_name);
  library->state_flags = description.flags;
  library->data_type_count = description.type_count;
  library->data_types = description.types;
  library->command_count = description.command_count;
  library->commands = description.commands;
  library->notify = description.notify;
  return library;
}

const LibraryInfo* const* BuildTable() {
  static const runtime::CommandFunction* core_commands = CoreCommandFunctions();
  static const runtime::CommandFunction* tree_box_commands = TreeBoxCommandFunctions();
  static const runtime::CommandFunction visual_style_commands[1] = {VisualStyleCommand()};
  static const runtime::CommandFunction app_interface_commands[1] = {AppInterfaceCommand()};
  static const runtime::CommandFunction shell_commands[1] = {ShellCommand()};

  static const LibraryInfo* table[kLibraryCount] = {
      MakeLibrary({"5C0E4A3F61B24D8E9A7C21F0B3D4E5A6", "系统核心支持库", 5, 0, 64, {3, 7, 3, 7},
                   0xC0000001, kCoreTypeCount,
                   MakeTypes(0, kCoreTypeCount,
                             {{kWindowType, "窗口", "Window", 0x800000D0, true},
                              {kMenuType, "菜单", "Menu", 0x80000004, false},
                              {kEditBoxType, "编辑框", "EditBox", 0x80000040, true},
                              {kGroupBoxType, "分组框", "GroupBox", 0x840140C0, true},
                              {kLabelType, "标签", "Label", 0x84012040, true},
                              {kButtonType, "按钮", "Button", 0x80000840, true},
                              {kColorPickerType, "颜色选择器", "ColorPicker", 0x80000040, true},
                              {kCommonDlgType, "通用对话框", "CommonDlg", 0x80008040, true},
                              {kTimerType, "时钟", "Timer", 0x80008040, true},
                              {kPicBtnType, "图形按钮", "PicBtn", 0x80010040, true}}),
                   kCoreCommandCount, core_commands, &CoreLibraryNotify}),
      MakeLibrary({"7A1D2C3B4E5F40618293A4B5C6D7E8F9", "扩展界面支持库一", 2, 0, 2, {3, 0, 3, 0},
                   0, 5,
                   MakeTypes(1, 5, {{0, "树型框", "TreeBox", 0x00000040, true},
                                 {4, "透明标签", "TransLabel", 0x00012040, true}}),
                   kTreeBoxCommandCount, tree_box_commands}),
      MakeLibrary({"8B2E3D4C5F6041728394B5C6D7E8F90A", "扩展界面支持库二", 2, 0, 2, {3, 0, 3, 0},
                   0, 9,
                   MakeTypes(2, 9, {{0, "超级按钮", "SuperBtn", 0x00000840, true},
                                 {2, "分隔条", "SplitterBar", 0x00000040, true}}),
                   0, nullptr}),
      MakeLibrary({"9C3F4E5D60714283A4B5C6D7E8F90A1B", "XP风格界面库", 2, 0, 0, {3, 0, 3, 0},
                   0x80000000, 0, nullptr, 1, visual_style_commands}),
      MakeLibrary({"AD405F6E71825394B5C6D7E8F90A1B2C", "应用接口支持库", 3, 0, 0, {3, 0, 3, 0}, 0,
                   11, MakeTypes(4, 11, {}), 1, app_interface_commands}),
      MakeLibrary({"BE51607F8293A4B5C6D7E8F90A1B2C3D", "操作系统界面功能支持库", 3, 0, 0,
                   {3, 0, 3, 0}, 0, 0, nullptr, 1, shell_commands}),
  };
  return table;
}

}  // namespace

const LibraryInfo* const* LibraryTable() {
  static const LibraryInfo* const* table = BuildTable();
  return table;
}

const LibraryInfo& Library(LibraryIndex index) { return *LibraryTable()[index]; }

}  // namespace libraries
