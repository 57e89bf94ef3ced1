#include "app/demo_image.h"

#include <string>

#include "commands/date_time_commands.h"
#include "commands/date_time_text.h"
#include "libraries/library_table.h"
#include "runtime/gates.h"
#include "runtime/gbk_literal.h"
#include "runtime/owned_blocks.h"
#include "units/treebox/tree_box_methods.h"

extern const unsigned char demo_window_block[];
extern const int demo_window_block_size;

namespace app {

namespace {

using runtime::ArgCell;

constexpr uint32_t kForm = 0x52010001;
constexpr uint32_t kTree = 0x16010010;
constexpr uint32_t kName = 0x16010011;
constexpr uint32_t kText = 0x16010012;
constexpr uint32_t kCount = 0x16010013;
constexpr uint32_t kClock = 0x16010014;
constexpr int32_t kContent = 8;      // edit box Content
constexpr int32_t kCaption = 8;      // label Caption
constexpr int32_t kCurrentItem = 16;  // tree box CurrentItem

void SetText(uint32_t unit, int32_t property, const std::string& gbk) {
  runtime::Text text(gbk);
  runtime::WriteUnitProperty(kForm, unit, property, -1, text.Arg());
}

std::string ChapterName(int32_t number) { return runtime::Gbk("第") + std::to_string(number) + runtime::Gbk("章"); }

int32_t AddChapter(int32_t number) {
  runtime::Text name(ChapterName(number));
  const ArgCell args[] = {ArgCell{}, name.Arg()};
  return units::TreeBoxAddItem(kForm, kTree, args);
}

runtime::HandlerResult OnCreated(const int32_t*, int32_t) {
  for (int32_t number = 1; number <= 3; ++number) AddChapter(number);
  runtime::WriteUnitProperty(kForm, kTree, kCurrentItem, -1, ArgCell::Int(0));
  SetText(kText, kContent,
          runtime::Gbk("天色将晚，山路上只剩一盏灯。\r\n他停下脚步，回头望了一眼来时的路。\r\n\r\n"
                       "（这是预览窗口：左边是章节列表，右边是章节正文，字数与时间在最右边。）"));
  return {};
}

runtime::HandlerResult OnClockTick(const int32_t*, int32_t) {
  const ArgCell now = runtime::CallCoreCommand(&commands::GetNow, {});
  SetText(kClock, kCaption, commands::DateTimeToText(now.As<double>()));
  return {};
}

runtime::HandlerResult OnNewChapter(const int32_t*, int32_t) {
  const int32_t count = units::TreeBoxGetItemCount(kForm, kTree);
  const int32_t index = AddChapter(count + 1);
  runtime::WriteUnitProperty(kForm, kTree, kCurrentItem, -1, ArgCell::Int(index));
  return {};
}

runtime::HandlerResult OnDeleteChapter(const int32_t*, int32_t) {
  const ArgCell current = runtime::ReadUnitProperty(kForm, kTree, kCurrentItem, -1);
  if (current.As<int32_t>() >= 0) units::TreeBoxDeleteItem(kForm, kTree, {&current, 1});
  return {};
}

// Characters, not bytes: a GBK lead byte and its trail byte are one character; line
// breaks do not count.
runtime::HandlerResult OnContentChanged(const int32_t*, int32_t) {
  const runtime::Text content = runtime::Text::FromResult(runtime::ReadUnitProperty(kForm, kText, kContent, -1));
  int32_t characters = 0;
  const std::string_view text = content.View();
  for (size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte >= 0x80) ++i;
    if (byte != '\r' && byte != '\n') ++characters;
  }
  SetText(kCount, kCaption, runtime::Gbk("字数：") + std::to_string(characters));
  return {};
}

runtime::HandlerResult OnChapterSelected(const int32_t*, int32_t) {
  const int32_t current = runtime::ReadUnitProperty(kForm, kTree, kCurrentItem, -1).As<int32_t>();
  SetText(kName, kContent, current >= 0 ? ChapterName(current + 1) : std::string());
  return {};
}

// In the order of app/demo_routines.txt.
const runtime::EventHandler kRoutines[] = {OnCreated,       OnClockTick,      OnNewChapter,
                                           OnDeleteChapter, OnContentChanged, OnChapterSelected};

void EndRoutine() {}

}  // namespace

const runtime::ProgramImage& DemoImage() {
  static const runtime::ProgramImage image = [] {
    runtime::ProgramImage header;
    header.image_kind = 3;
    header.id_seed = 0x000100F1;
    header.code_base = reinterpret_cast<const uint8_t*>(kRoutines);
    header.template_block = demo_window_block;
    header.template_block_size = demo_window_block_size;
    header.library_count = libraries::kLibraryCount;
    header.libraries = libraries::LibraryTable();
    return header;
  }();
  return image;
}

int32_t DemoEntryRoutine() {
  runtime::RuntimeService(6);
  runtime::RuntimeService(3, reinterpret_cast<intptr_t>(&EndRoutine));
  runtime::LoadStartupWindow(kForm);
  runtime::RunMessageLoop();
  return 0;
}

}  // namespace app
