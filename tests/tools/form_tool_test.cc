// The form file and the block: compiling, dumping and compiling again gives the same
// bytes; errors name what is wrong.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "forms/template_block.h"
#include "tools/form_tool/form_file.h"

namespace form_tool {
namespace {

std::string ReadText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

const std::filesystem::path kData = TEST_FORMS_DATA;

RoutineTable Routines() { return *RoutineTable::Load(kData / "test_routines.txt"); }

std::vector<uint8_t> Compile(const std::string& json) {
  std::string error;
  const auto templates = CompileForm(json, kData, Routines(), error);
  EXPECT_TRUE(templates.has_value()) << error;
  return templates ? forms::WriteTemplateBlock(*templates) : std::vector<uint8_t>();
}

TEST(FormTool, CompileDumpCompileGivesTheSameBytes) {
  const std::vector<uint8_t> block = Compile(ReadText(kData / "test_window.json"));
  ASSERT_FALSE(block.empty());
  const auto templates = forms::ReadTemplateBlock(block);
  ASSERT_TRUE(templates.has_value());
  const std::string dumped = DumpForm(*templates, Routines());
  EXPECT_EQ(Compile(dumped), block);
  // The dump is readable: classes, names and handlers by name.
  EXPECT_NE(dumped.find("\"class\": \"窗口\""), std::string::npos);
  EXPECT_NE(dumped.find("\"Caption\": \"测试窗口\""), std::string::npos);
  EXPECT_NE(dumped.find("\"handler\": \"OnCreated\""), std::string::npos);
  EXPECT_NE(dumped.find("\"shortcut\": \"Ctrl+B\""), std::string::npos);
  EXPECT_EQ(DumpForm(*forms::ReadTemplateBlock(Compile(dumped)), Routines()), dumped);
}

TEST(FormTool, TheBuildEmbedsTheSameBlock) {
  std::ifstream in(std::filesystem::path(TEST_WINDOW_BLOCK_PATH), std::ios::binary);
  const std::vector<uint8_t> built{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  EXPECT_EQ(built, Compile(ReadText(kData / "test_window.json")));
}

TEST(FormTool, TransparentLabelsAndSplitterBarsRoundTrip) {
  // By Chinese or English class name, with every own property and the bar's event.
  const std::string json = R"({"windows": [{"id": "0x52010002", "units": [
      {"id": "0x06010000", "class": "窗口", "width": 300, "height": 200},
      {"id": "0x16010001", "class": "透明标签", "name": "透明标签1", "left": 13, "top": 17,
       "width": 72, "height": 16, "visible": true,
       "events": [{"event": "MouseLeftUp", "handler": "OnButtonClicked"}],
       "properties": {"Caption": "章节名称：", "Effect": 3, "TextColor": 255,
                      "Alignment": 1, "WordWrap": true, "VerticalAlignment": 2}},
      {"id": "0x16010002", "class": "SplitterBar", "name": "分隔条1", "left": 150, "top": 0,
       "width": 5, "height": 200, "visible": true,
       "events": [{"event": "PositionChanged", "handler": "OnMoved"}],
       "properties": {"BackColor": 8421504, "Orientation": 1}}]}]})";
  const std::vector<uint8_t> block = Compile(json);
  ASSERT_FALSE(block.empty());
  const auto templates = forms::ReadTemplateBlock(block);
  ASSERT_TRUE(templates.has_value());
  const std::string dumped = DumpForm(*templates, Routines());
  EXPECT_EQ(Compile(dumped), block);
  EXPECT_NE(dumped.find("\"class\": \"透明标签\""), std::string::npos) << dumped;
  EXPECT_NE(dumped.find("\"class\": \"分隔条\""), std::string::npos) << dumped;
  EXPECT_NE(dumped.find("\"event\": \"PositionChanged\""), std::string::npos) << dumped;
  EXPECT_NE(dumped.find("\"Caption\": \"章节名称：\""), std::string::npos) << dumped;
}

TEST(FormTool, UnknownRoutinesClassesAndPropertiesAreErrors) {
  const struct {
    const char* json;
    const char* error;
  } cases[] = {
      {R"({"windows":[{"id":"0x52010001","units":[{"id":"0x06010000","class":"窗口",
          "events":[{"event":"Created","handler":"NoSuchRoutine"}]}]}]})", "NoSuchRoutine"},
      {R"({"windows":[{"id":"0x52010001","units":[{"id":"0x06010000","class":"Nothing"}]}]})",
       "Nothing"},
      {R"({"windows":[{"id":"0x52010001","units":[{"id":"0x06010000","class":"窗口",
          "properties":{"Colour":1}}]}]})", "properties"},
      {R"({"windows":[{"id":"0x52010001","units":[{"id":"0x06010000","class":"窗口",
          "properties":{"Border":"two"}}]}]})", "properties"},
      {R"({"windows":[{"id":"0x52010001","units":[{"id":"0x26010073","caption":"x",
          "shortcut":"Ctrl+Q+Z"}]}]})", "Ctrl+Q+Z"},
      {R"({"windows": [)", "parse"},
  };
  for (const auto& c : cases) {
    std::string error;
    EXPECT_FALSE(CompileForm(c.json, kData, Routines(), error).has_value()) << c.json;
    EXPECT_NE(error.find(c.error), std::string::npos) << error;
  }
}

}  // namespace
}  // namespace form_tool
