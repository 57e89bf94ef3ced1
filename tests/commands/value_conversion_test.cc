#include "commands/value_conversion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "commands/conversion_commands.h"
#include "commands/date_time.h"
#include "commands/full_width.h"
#include "commands/system_commands.h"
#include "runtime/blocks.h"
#include "runtime/gates.h"
#include "runtime/runtime_state.h"
#include "runtime/user_interface.h"
#include "tests/commands/command_test_support.h"

namespace commands_test {
namespace {

// An array block owned by the test.
class Array {
 public:
  Array(std::vector<int32_t> dimensions, int32_t element_size, const void* elements)
      : block_(runtime::MakeArray(dimensions, element_size)) {
    const int64_t count = runtime::ArrayElementCount(block_);
    std::memcpy(static_cast<uint8_t*>(block_) + runtime::ArrayHeaderSize(block_), elements,
                static_cast<size_t>(count * element_size));
  }
  ~Array() { runtime::FreeBlock(block_); }
  Array(const Array&) = delete;
  Array& operator=(const Array&) = delete;

  ArgCell Of(runtime::TypeCode element) const {
    return ArgCell::Pointer(element | runtime::kArrayFlag, block_);
  }

 private:
  void* block_;
};

std::string Text(const ArgCell& value) {
  return TakeText(runtime::CallCoreCommand(commands::ToText, {value}));
}

TEST(ToText, EachKindOfValue) {
  const runtime::ByteSet with_zero(std::vector<uint8_t>{'a', 'b', 0, 'c'});
  const uint8_t bytes[] = {'h', 'i', 0, 'x'};
  const Array byte_array({4}, 1, bytes);
  const int32_t word = 0x64636261;  // "abcd" in memory order, no zero
  const Array int_array({1}, 4, &word);
  const uint8_t square[] = {'1', '2', '3', '4'};
  const Array two_dimensions({2, 2}, 1, square);
  const char* texts[] = {"a", "b"};
  const Array text_array({2}, sizeof(char*), texts);
  const double day = static_cast<double>(commands::DayNumber(2013, 12, 5));

  EXPECT_EQ(Text(ArgCell::Float(0.1f)), "0.1");
  EXPECT_EQ(Text(ArgCell::Byte(200)), "200");
  EXPECT_EQ(Text(ArgCell::Logical(true)), Gbk("真"));
  EXPECT_EQ(Text(ArgCell::From(runtime::kLogical, int32_t{7})), Gbk("真"));
  EXPECT_EQ(Text(ArgCell::DateTime(day + 0.5)), Gbk("2013年12月5日12时"));
  EXPECT_EQ(Text(with_zero.Arg()), "ab");
  EXPECT_EQ(Text(ArgCell::ByteSet(nullptr)), "");
  EXPECT_EQ(Text(byte_array.Of(runtime::kByte)), "hi");
  EXPECT_EQ(Text(int_array.Of(runtime::kInt)), "abcd");
  EXPECT_EQ(Text(two_dimensions.Of(runtime::kByte)), "1234");  // every element, row by row
  EXPECT_EQ(Text(text_array.Of(runtime::kText)), "");
  EXPECT_EQ(Text(ArgCell::Pointer(runtime::kRoutine, &word)), "");

  // A text comes back as a copy of its own.
  const std::string original = Gbk("第一章");
  const ArgCell copy =
      runtime::CallCoreCommand(commands::ToText, {ArgCell::Text(original.c_str())});
  EXPECT_NE(copy.AsPointer<char>(), original.c_str());
  EXPECT_EQ(TakeText(copy), original);
}

TEST(ToNumber, EachKindOfValue) {
  auto number = [](const ArgCell& value) {
    const ArgCell result = runtime::CallCoreCommand(commands::ToNumber, {value});
    EXPECT_EQ(result.type, runtime::kDouble);
    return result.As<double>();
  };
  const runtime::ByteSet bytes(std::vector<uint8_t>{'1', '2'});
  int anchor = 0;
  EXPECT_EQ(number(ArgCell::Text(Gbk("１２.５").c_str())), 12.5);
  EXPECT_EQ(number(ArgCell::Logical(true)), 1);
  EXPECT_EQ(number(ArgCell::Float(0.1f)), static_cast<double>(0.1f));  // not rounded
  EXPECT_EQ(number(ArgCell::DateTime(41613.5)), 0);
  EXPECT_EQ(number(bytes.Arg()), 0);
  EXPECT_EQ(number(ArgCell::Pointer(runtime::kRoutine, &anchor)),
            static_cast<double>(reinterpret_cast<uintptr_t>(&anchor)));
}

TEST(TextToNumber, ReadsTheLeadingDecimalNumber) {
  struct Case {
    const char* text;  // UTF-8
    double expected;
  };
  const double inf = std::numeric_limits<double>::infinity();
  const std::vector<Case> cases = {
      {"１２.５", 12.5}, {"  -3.5e2xyz", -350},
      {"\t\n 42", 42},   {"+7", 7},
      {".5", 0.5},       {"5.", 5},
      {"12e", 12},       {"12e+", 12},
      {"1E3", 1000},     {"2e-2", 0.02},
      {"abc", 0},        {"", 0},
      {"-", 0},          {".", 0},
      {"-.e1", 0},       {"0x10", 0},
      {"inf", 0},        {"nan", 0},
      {"１ ２", 1},      {"－３", -3},
      {"1e400", inf},    {"-1e400", -inf},
      {"1e-400", 0},     {"0.0000e999", 0},
      {"第1章", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(commands::TextToNumber(Gbk(c.text)), c.expected) << c.text;
  }
}

TEST(ToByteSet, EachKindOfValue) {
  auto bytes = [](const ArgCell& value) {
    const ArgCell result = runtime::CallCoreCommand(commands::ToByteSet, {value});
    EXPECT_EQ(result.type, runtime::kByteSet);
    return TakeBytes(result);
  };
  const int32_t words[] = {1, 2};
  const Array int_array({2}, 4, words);
  const char* texts[] = {"a"};
  const Array text_array({1}, sizeof(char*), texts);
  const runtime::ByteSet byte_set(std::vector<uint8_t>{0, 1, 2});

  EXPECT_EQ(bytes(int_array.Of(runtime::kInt)), std::string("\1\0\0\0\2\0\0\0", 8));
  EXPECT_EQ(bytes(text_array.Of(runtime::kText)), "");
  EXPECT_EQ(bytes(ArgCell::Text("ab")), "ab");  // without the NUL
  EXPECT_EQ(bytes(byte_set.Arg()), std::string("\0\1\2", 3));
  EXPECT_EQ(bytes(ArgCell::Int(0x01020304)), "\4\3\2\1");
  EXPECT_EQ(bytes(ArgCell::Logical(true)), std::string("\1\0\0\0", 4));
  EXPECT_EQ(bytes(ArgCell::Long(-1)), std::string(8, '\xFF'));
  EXPECT_EQ(bytes(ArgCell::Text("")), "");
  EXPECT_EQ(runtime::CallCoreCommand(commands::ToByteSet, {ArgCell::Text("")}).AsPointer<void>(),
            nullptr);
}

TEST(NormalizeFullWidth, MakesFullWidthCharactersAscii) {
  struct Case {
    std::string text;
    std::string kept;
    std::string dropped;
  };
  const std::vector<Case> cases = {
      {Gbk("ＡＢｃ１２"), "ABc12", "ABc12"},
      {"\xA1\xA1", " ", ""},
      {"\xA1\xAB", "~", "~"},
      {"\xA1\xEE\xA1\xEF", "**", "**"},
      {"\xA3\xFE\xA3\xA1", "~!", "~!"},
      {Gbk("１ ２　３"), "1 2 3", "123"},  // an ASCII and an ideographic space
      {Gbk("中文"), Gbk("中文"), Gbk("中文")},
      {"\xA3\xA0", "\xA3\xA0", "\xA3\xA0"},  // outside the full-width block
      {"\xA1\xA2", "\xA1\xA2", "\xA1\xA2"},  // another sign, kept
      {"a\xA3", "a\xA3", "a\xA3"},           // a lone lead byte at the end
      {"\x81\xA3\xA3\xB1",
       "\x81\xA3"
       "1",
       "\x81\xA3"
       "1"},  // 0xA3 as a trail byte
  };
  for (const Case& c : cases) {
    EXPECT_EQ(commands::NormalizeFullWidth(c.text), c.kept) << c.text;
    EXPECT_EQ(commands::NormalizeFullWidthDroppingSpaces(c.text), c.dropped) << c.text;
  }
}

// A window system that records the message boxes it is asked to show.
class RecordingUserInterface : public runtime::UserInterface {
 public:
  int32_t ShowMessageBox(std::string_view text, std::string_view caption, uint32_t style) override {
    text_ = text;
    caption_ = caption;
    style_ = style;
    return runtime::message_box::kIdCancel;
  }
  void RunMessageLoop() override {}
  void PumpWaitingMessages() override {}
  void PostQuitMessage(int32_t) override {}
  void CreateRequestWindow() override {}
  void DestroyRequestWindow() override {}
  void PostEndRequest(int32_t) override {}
  bool IsWindowAlive(intptr_t) override { return false; }

  std::string text_;
  std::string caption_;
  uint32_t style_ = 0;
};

class MessageBoxTest : public testing::Test {
 protected:
  void SetUp() override { runtime::Runtime().ui = &ui_; }
  void TearDown() override { runtime::Runtime().ui = nullptr; }

  RecordingUserInterface ui_;
};

TEST_F(MessageBoxTest, ShowsValuesAsToTextWritesThem) {
  const ArgCell result = runtime::CallCoreCommand(commands::MessageBox, {ArgCell::Logical(true)});
  EXPECT_EQ(ui_.text_, Gbk("真"));
  EXPECT_EQ(ui_.caption_, Gbk("信息："));
  EXPECT_EQ(ui_.style_, runtime::message_box::kTaskModal);
  EXPECT_EQ(result.low, 1u);  // Cancel

  runtime::CallCoreCommand(commands::MessageBox, {ArgCell::Double(1e20), ArgCell::Double(1.9)});
  EXPECT_EQ(ui_.text_, "1e+020");
  EXPECT_EQ(ui_.style_, runtime::message_box::kTaskModal | 1);  // the flags truncated to 1

  const double day = static_cast<double>(commands::DayNumber(2013, 12, 5));
  runtime::CallCoreCommand(commands::MessageBox,
                           {ArgCell::DateTime(day), ArgCell::Int(0x1000), ArgCell::Text("t")});
  EXPECT_EQ(ui_.text_, Gbk("2013年12月5日"));
  EXPECT_EQ(ui_.caption_, "t");
  EXPECT_EQ(ui_.style_, runtime::message_box::kSystemModal);

  const runtime::ByteSet bytes(std::vector<uint8_t>{'a', 'b'});
  runtime::CallCoreCommand(commands::MessageBox, {bytes.Arg()});
  EXPECT_EQ(ui_.text_, "");  // not a basic value
}

}  // namespace
}  // namespace commands_test
