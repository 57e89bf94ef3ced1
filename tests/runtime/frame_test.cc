// The runtime frame without a window system: type lookup, error texts, services,
// the service entry and the libraries' descriptors.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "database/checker.h"
#include "database/creator.h"
#include "database/database_list.h"
#include "libraries/core_commands.h"
#include "libraries/library_table.h"
#include "platform/core/code_page.h"
#include "platform/core/native_path.h"
#include "runtime/allocator.h"
#include "runtime/blocks.h"
#include "runtime/cell_values.h"
#include "runtime/error_report.h"
#include "runtime/gates.h"
#include "runtime/owned_blocks.h"
#include "runtime/runtime_callback.h"
#include "runtime/runtime_state.h"
#include "runtime/type_lookup.h"
#include "tests/platform/core/test_support.h"
#include "tests/support/program_image_maker.h"
#include "tests/support/runtime_error_exit.h"

namespace runtime {
namespace {

std::string Utf8(std::string_view gbk) { return platform::GbkToUtf8(gbk); }

ProgramImage ImageWithLibraries() {
  return unit_tests::MakeImage(nullptr, nullptr, 0, libraries::LibraryTable());
}

TEST(TypeLookup, FindsTheWindowClassesByTypeRef) {
  const ProgramImage image = ImageWithLibraries();
  const struct {
    TypeRef ref;
    const char* english_name;
  } cases[] = {{0x00010001, "Window"},     {0x00010005, "EditBox"},   {0x0001000A, "Label"},
               {0x00010020, "Timer"},      {0x0001002D, "PicBtn"},    {0x00020001, "TreeBox"},
               {0x00020005, "TransLabel"}, {0x00030001, "SuperBtn"},  {0x00030003, "SplitterBar"},
               {0x0001001C, "ColorPicker"}};
  for (const auto& c : cases) {
    const DataTypeInfo* type = FindDataType(image, c.ref);
    ASSERT_NE(type, nullptr) << std::hex << c.ref;
    EXPECT_STREQ(type->english_name, c.english_name);
  }
  EXPECT_EQ(Utf8(FindDataType(image, 0x00010005)->name), "编辑框");
}

TEST(TypeLookup, RefusesRefsThatNameNoType) {
  ProgramImage image = ImageWithLibraries();
  for (TypeRef ref : {0x00010000u, 0x00000001u, 0x00070001u, 0x00010034u, 0x80000004u,
                      0x40000001u, 0x00040001u /* library 3 has no types */}) {
    EXPECT_EQ(FindDataType(image, ref), nullptr) << std::hex << ref;
  }
  const LibraryInfo* with_gap[2] = {nullptr, libraries::LibraryTable()[1]};
  image.libraries = with_gap;
  image.library_count = 2;
  EXPECT_EQ(FindDataType(image, 0x00010001), nullptr);
  EXPECT_NE(FindDataType(image, 0x00020001), nullptr);
}

TEST(TypeLookup, AnUnusedSlotIsAValidEmptyType) {
  const ProgramImage image = ImageWithLibraries();
  const LibraryInfo* library = nullptr;
  const DataTypeInfo* slot = FindDataType(image, MakeTypeRef(0, 1), &library);
  ASSERT_NE(slot, nullptr);
  EXPECT_EQ(slot->name, nullptr);
  EXPECT_EQ(slot->get_unit_interface, nullptr);
  EXPECT_EQ(library, libraries::LibraryTable()[0]);
}

TEST(Libraries, KeepTheirSlotCountsAndFlags) {
  const int32_t type_counts[] = {51, 5, 9, 0, 11, 0};
  const int32_t command_counts[] = {40, 4, 0, 1, 1, 1};
  for (int i = 0; i < libraries::kLibraryCount; ++i) {
    const LibraryInfo& library = libraries::Library(static_cast<libraries::LibraryIndex>(i));
    EXPECT_EQ(library.format_tag, kLibraryFormatTag);
    EXPECT_EQ(library.data_type_count, type_counts[i]) << i;
    EXPECT_EQ(library.command_count, command_counts[i]) << i;
    EXPECT_NE(library.notify, nullptr);
  }
  EXPECT_EQ(libraries::Library(libraries::kCoreLibrary).state_flags, 0xC0000001u);
  EXPECT_EQ(libraries::Library(libraries::kVisualStyleLibrary).state_flags, 0x80000000u);
  EXPECT_EQ(Utf8(libraries::Library(libraries::kShellLibrary).display_name),
            "操作系统界面功能支持库");
  // Window units start with the eight base properties.
  const DataTypeInfo& edit_box =
      libraries::Library(libraries::kCoreLibrary).data_types[libraries::kEditBoxType];
  ASSERT_GE(edit_box.property_count, 8);
  EXPECT_EQ(edit_box.properties[4].type, property_type::kText);
  EXPECT_EQ(edit_box.properties[7].type, property_type::kMousePointer);
  EXPECT_EQ(edit_box.state_flags, 0x80000040u);
}

// The process ends without destructors, so the core library closes the databases when told
// that the program ends: the blocks a save set aside for the next one go back on the free list.
TEST(Libraries, TheEndOfTheProgramClosesTheDatabases) {
  const platform::core_test::TempFolder folder;
  const std::string path = folder.GbkPath("c.edb");
  const std::string name = platform::Utf8ToGbk("姓名");
  ASSERT_EQ(database::CreateDatabase(path, {{name, database::kMemoField, 0}}), 0);
  database::OpenOptions options;
  options.path = path;
  ASSERT_EQ(database::DatabaseList::Instance().Open(options), 0);
  database::Database& db = *database::DatabaseList::Instance().Current();
  ASSERT_EQ(db.AppendBlank(), 0);
  for (const char* value : {"first value", "second value"}) {
    runtime::Text text(value);
    const database::FieldUpdate update{name, text.Arg()};
    ASSERT_EQ(db.UpdateRecords(nullptr, std::span(&update, 1)), 0);
  }
  ASSERT_GT(db.memo()->spare_count(), 0u);

  libraries::Library(libraries::kCoreLibrary).notify(6, 0, 0);
  EXPECT_EQ(database::DatabaseList::Instance().size(), 0);
  database::CheckReport report;
  ASSERT_EQ(database::CheckDatabase(path, {}, false, &report), 0);
  EXPECT_TRUE(report.ok());
  EXPECT_EQ(report.leaked_blocks, 0);
}

TEST(ErrorMessage, NumberedErrorHasFiveCrLfLines) {
  const std::string message = FormatRuntimeErrorMessage(RuntimeErrorText(1), 1);
  EXPECT_EQ(Utf8(message),
            "运行时出错!\r\n\r\n错误代码：1\r\n\r\n错误信息：数组成员引用下标超出定义范围\r\n");
}

TEST(ErrorMessage, TextOnlyAndEmptyForms) {
  EXPECT_EQ(Utf8(FormatRuntimeErrorMessage(error_text::StartupWindowFailed(), 0)),
            "运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n");
  EXPECT_EQ(Utf8(FormatRuntimeErrorMessage("", 0)), "运行时出错!\r\n\r\n");
  EXPECT_EQ(Utf8(FormatRuntimeErrorMessage("", 11)), "运行时出错!\r\n\r\n错误代码：11\r\n\r\n");
  EXPECT_EQ(Utf8(error_text::AllocationFailed(1024)), "分配 1024 字节内存失败!");
  EXPECT_EQ(RuntimeErrorText(0), nullptr);
  EXPECT_EQ(RuntimeErrorText(12), nullptr);
  EXPECT_EQ(Utf8(RuntimeErrorText(11)), "所提供参数的数据类型不符合要求");
}

using test_support::kRuntimeErrorExit;

// Runtime errors end the process with -1; without a window system the message goes to the error
// stream.
TEST(RuntimeErrorDeathTest, NonNumericCellEndsTheProgram) {
  EXPECT_EXIT(CellToInt32(ArgCell::Text("12")), ::testing::ExitedWithCode(kRuntimeErrorExit),
              "欲转换数据类型不是数值");
  EXPECT_EXIT(CellToCondition(ArgCell::Int(1)), ::testing::ExitedWithCode(kRuntimeErrorExit),
              "用作进行条件判断的子语句参数只能接受逻辑型数据");
  EXPECT_EXIT(ReportRuntimeError(3), ::testing::ExitedWithCode(kRuntimeErrorExit), "错误代码：3");
}

TEST(RuntimeErrorDeathTest, ANonLogicalSubStatementResultIsFreedFirst) {
  SubStatement statement{[](const void*) { return ArgCell::Text(MakeTextZ("not logical")); },
                         nullptr};
  // Under the leak checker a leaked result block would show up in the child's report.
  EXPECT_EXIT(CellToCondition(ArgCell::Statement(&statement)),
              ::testing::ExitedWithCode(kRuntimeErrorExit), "");
}

TEST(CommandGate, StartsWithAZeroResultAndPassesTheCount) {
  static int32_t seen_count = -1;
  const CommandFunction command = [](ArgCell* result, int32_t count, const ArgCell* args) {
    seen_count = count;
    EXPECT_EQ(result->low, 0u);
    EXPECT_EQ(result->high, 0u);
    EXPECT_EQ(result->type, 0u);
    if (count > 0) *result = ArgCell::Int(args[0].As<int32_t>() * 2);
  };
  EXPECT_EQ(CallCoreCommand(command, {}).type, kNoValue);
  EXPECT_EQ(seen_count, 0);
  const ArgCell result = CallLibraryCommand(command, {ArgCell::Int(21)});
  EXPECT_EQ(result.As<int32_t>(), 42);
  EXPECT_EQ(seen_count, 1);
}

class ServiceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ResetRuntimeState();
    folder_ = std::filesystem::temp_directory_path() /
              ("inkstone-services-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_ / Name("子目录"));
    for (const char* name : {"第一章.txt", "第二章.txt", "notes.md"}) {
      std::ofstream(folder_ / Name(name)) << "x";
    }
    // Read-only: the attribute the search's mask 0x01 asks for.
    std::filesystem::permissions(folder_ / "notes.md", std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
  }
  void TearDown() override {
    // Windows deletes no read-only file.
    std::filesystem::permissions(folder_ / "notes.md", std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);
    std::filesystem::remove_all(folder_);
    ResetRuntimeState();
  }

  // A file name from UTF-8 (a narrow string would be read in the ANSI code page on Windows).
  static std::filesystem::path Name(std::string_view utf8) {
    return std::u8string(utf8.begin(), utf8.end());
  }

  // Every name that a search with this mask finds, in order.
  std::vector<std::string> Search(const std::string& pattern_utf8, int32_t mask, bool any) {
    std::vector<std::string> names;
    intptr_t handle = 0;
    const std::string pattern = platform::Utf8ToGbk(pattern_utf8);
    for (char* name = FindFileStep(pattern.c_str(), mask, any, &handle); name != nullptr;
         name = FindFileStep("", mask, any, &handle)) {
      names.push_back(Utf8(name));
      FreeBlock(name);
    }
    EXPECT_EQ(handle, 0);  // closed and cleared at the end
    return names;
  }

  std::string Pattern(const std::string& last) {
    return platform::GbkToUtf8(platform::GbkPathOf(folder_)) + "\\" + last;
  }

  std::filesystem::path folder_;
};

// Entries come in the order of their GBK names: 二 (B6FE) before 一 (D2BB).
TEST_F(ServiceTest, FileSearchStepsThroughMatches) {
  EXPECT_EQ(Search(Pattern("*.txt"), 0, true),
            (std::vector<std::string>{"第二章.txt", "第一章.txt"}));
  EXPECT_EQ(Search(Pattern("*"), 0x10, false), (std::vector<std::string>{"子目录"}));
  EXPECT_EQ(Search(Pattern("*"), 0x01, false), (std::vector<std::string>{"notes.md"}));
  // A mask of 0 accepts only entries without attributes.
  EXPECT_EQ(Search(Pattern("*"), 0, false),
            (std::vector<std::string>{"第二章.txt", "第一章.txt"}));
  EXPECT_TRUE(Search(Pattern("*.doc"), 0, true).empty());
}

TEST_F(ServiceTest, ANewPatternRestartsTheSearch) {
  intptr_t handle = 0;
  const std::string pattern = platform::Utf8ToGbk(Pattern("*.txt"));
  FreeBlock(FindFileStep(pattern.c_str(), 0, true, &handle));
  char* again = FindFileStep(pattern.c_str(), 0, true, &handle);
  EXPECT_EQ(Utf8(again), "第二章.txt");
  FreeBlock(again);
  RuntimeService(1, handle);
}

TEST(Services, MakeArrayWritableCopiesOnlyStaticArrays) {
  ResetRuntimeState();
  alignas(4) uint8_t pool[4 + 4 + 8] = {1, 0, 0, 0, 2, 0, 0, 0, 10, 0, 0, 0, 20, 0, 0, 0};
  Runtime().static_ranges.Add(pool, pool + sizeof pool);
  void* array = pool;
  RuntimeService(2, 4, reinterpret_cast<intptr_t>(&array));
  ASSERT_NE(array, pool);
  EXPECT_EQ(std::memcmp(array, pool, sizeof pool), 0);
  void* heap_array = array;
  MakeArrayWritable(4, &array);
  EXPECT_EQ(array, heap_array);
  FreeBlock(array);
  ResetRuntimeState();
}

TEST(Services, RedefineArrayFreesOldTextElements) {
  ResetRuntimeState();
  void* array = nullptr;
  const int32_t two[] = {2};
  RedefineArray(kText, &array, 1, two);
  ASSERT_EQ(ArrayElementCount(array), 2);
  char* element = MakeTextZ("held");
  std::memcpy(static_cast<uint8_t*>(array) + ArrayHeaderSize(array), &element, sizeof element);
  const int32_t grid[] = {2, 3};
  RedefineArray(kText, &array, 2, grid);  // the leak checker catches a forgotten element
  EXPECT_EQ(ArrayElementCount(array), 6);
  const int32_t none[] = {0};
  RedefineArray(kText, &array, 1, none);
  EXPECT_EQ(ArrayElementCount(array), 0);
  FreeBlock(array);
  const int32_t bad[] = {2, 0};
  EXPECT_EXIT(RedefineArray(kInt, &array, 2, bad), ::testing::ExitedWithCode(kRuntimeErrorExit),
              "");
}

TEST(Services, RegisterEndRoutine) {
  ResetRuntimeState();
  const Routine routine = [] {};
  RuntimeService(3, reinterpret_cast<intptr_t>(routine));
  EXPECT_EQ(Runtime().end_routine, routine);
  ResetRuntimeState();
}

TEST(RuntimeCallback, ServesAllocationAndLookup) {
  ResetRuntimeState();
  const ProgramImage image = ImageWithLibraries();
  Runtime().image = &image;
  Runtime().image_kind = 3;
  EXPECT_EQ(RuntimeCallback(callback_code::kImageKind, 0, 0), 3);
  EXPECT_EQ(RuntimeCallback(callback_code::kLookUpDataType, 0x00020001, 0),
            reinterpret_cast<intptr_t>(&libraries::LibraryTable()[1]->data_types[0]));
  EXPECT_EQ(RuntimeCallback(callback_code::kLookUpDataType, 0x00090001, 0), 0);
  void* block = reinterpret_cast<void*>(RuntimeCallback(callback_code::kAlloc, 16, 0));
  block = reinterpret_cast<void*>(RuntimeCallback(callback_code::kRealloc,
                                                  reinterpret_cast<intptr_t>(block), 64));
  RuntimeCallback(callback_code::kFree, reinterpret_cast<intptr_t>(block), 0);
  EXPECT_EQ(RuntimeCallback(callback_code::kAlloc, -1, 1), 0);  // no report when asked
  const ArgCell cell = ArgCell::Short(-9);
  EXPECT_EQ(RuntimeCallback(callback_code::kCellToInt, reinterpret_cast<intptr_t>(&cell), 0), -9);
  EXPECT_EQ(RuntimeCallback(999, 0, 0), 0);
  EXPECT_EQ(RuntimeCallback(2041, 0, 0), 0);
  // The nesting counter never goes below 0.
  RuntimeCallback(callback_code::kPumpAndLowerNesting, 0, 0);
  EXPECT_EQ(Runtime().nesting, 0);
  RuntimeCallback(callback_code::kPumpAndRaiseNesting, 0, 0);
  EXPECT_EQ(Runtime().nesting, 1);
  ResetRuntimeState();
}

}  // namespace
}  // namespace runtime
