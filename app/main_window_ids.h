#pragma once

#include <cstdint>

#include "forms/form_ids.h"
#include "runtime/type_code.h"

// The writing window as its routines name it: the window's id, its units' ids, the classes
// a unit reference names, and the property indexes the routines read and write.
namespace app {

inline constexpr forms::FormId kMainWindow = 0x52010001;

namespace unit {
inline constexpr forms::UnitId kWindow = 0x06010000;
inline constexpr forms::UnitId kCountLabel = 0x16010005;      // 透明标签2
inline constexpr forms::UnitId kForumLabel = 0x160100EC;      // 透明标签1
inline constexpr forms::UnitId kSearchBox = 0x160100D2;       // 编辑框1
inline constexpr forms::UnitId kSearchButton = 0x160100D4;    // 超级按钮1
inline constexpr forms::UnitId kMinimiseButton = 0x16010003;  // 图形按钮1
inline constexpr forms::UnitId kMaximiseButton = 0x1601007D;  // 图形按钮2
inline constexpr forms::UnitId kCloseButton = 0x16010002;     // 图形按钮9
inline constexpr forms::UnitId kNameBox = 0x16010018;         // 名称
inline constexpr forms::UnitId kNewChapterButton = 0x16010017;  // 新增章节
inline constexpr forms::UnitId kDeleteButton = 0x16010016;      // 删除选中
inline constexpr forms::UnitId kChapterList = 0x16010010;     // 树型框1
inline constexpr forms::UnitId kSplitter = 0x16010011;        // 分隔条1
inline constexpr forms::UnitId kTextBox = 0x16010012;         // 内容
inline constexpr forms::UnitId kSettingsGroup = 0x1601001E;   // 分组框1
inline constexpr forms::UnitId kFontDialog = 0x160100B9;      // 通用对话框1
// the figures of the typing statistics and their captions
inline constexpr forms::UnitId kHoursCaption = 0x16010086;    // 用时
inline constexpr forms::UnitId kHours = 0x16010087;           // 时
inline constexpr forms::UnitId kMinutesCaption = 0x16010090;  // 用分
inline constexpr forms::UnitId kMinutes = 0x1601008F;         // 分
inline constexpr forms::UnitId kSecondsCaption = 0x1601008D;  // 用秒
inline constexpr forms::UnitId kSeconds = 0x16010091;         // 秒
inline constexpr forms::UnitId kPerSecondCaption = 0x1601008A;  // 秒速1
inline constexpr forms::UnitId kPerSecond = 0x1601008B;         // 标签6
inline constexpr forms::UnitId kPerMinuteCaption = 0x16010088;  // 分速度
inline constexpr forms::UnitId kPerMinute = 0x16010089;         // 标签9
// the timers that write the text
inline constexpr forms::UnitId kSaveTimer = 0x1601001C;      // 时钟1
inline constexpr forms::UnitId kAutosaveTimer = 0x1601001D;  // 时钟2
// the statistics timers
inline constexpr forms::UnitId kSecondsTimer = 0x160100B3;    // 秒钟
inline constexpr forms::UnitId kMinutesTimer = 0x16010092;    // 分钟
inline constexpr forms::UnitId kPerMinuteTimer = 0x16010093;  // 分速
inline constexpr forms::UnitId kPerSecondTimer = 0x16010094;  // 秒速
inline constexpr forms::UnitId kHoursTimer = 0x16010095;      // 时钟
// the settings
inline constexpr forms::UnitId kFontButton = 0x16010025;        // 按钮1
inline constexpr forms::UnitId kBackColorCaption = 0x16010026;  // 标签1
inline constexpr forms::UnitId kBackColorPicker = 0x16010027;   // 颜色选择器1
inline constexpr forms::UnitId kTextColorCaption = 0x16010029;  // 标签2
inline constexpr forms::UnitId kTextColorPicker = 0x16010028;   // 颜色选择器2
// the clock
inline constexpr forms::UnitId kDateLabel = 0x1601000B;    // 透明标签3
inline constexpr forms::UnitId kHourLabel = 0x1601000C;    // 透明标签4
inline constexpr forms::UnitId kMinuteLabel = 0x1601000D;  // 透明标签6
inline constexpr forms::UnitId kSecondLabel = 0x1601000E;  // 透明标签5
// today's characters against the daily target
inline constexpr forms::UnitId kTodayLabel = 0x160100F1;  // 今日进度
// rewrites today's line a moment after typing changed it (0 while nothing waits)
inline constexpr forms::UnitId kTodayLineTimer = 0x160100F2;  // 今日进度时钟
// menus
inline constexpr forms::UnitId kAutosaveSwitch = 0x26010074;    // 自动保存内容
inline constexpr forms::UnitId kChapterListMenu = 0x26010075;   // 右键
inline constexpr forms::UnitId kTextMenu = 0x260100BA;          // 内容右键
inline constexpr forms::UnitId kStopTimingItem = 0x260100BB;    // 停止计时
inline constexpr forms::UnitId kSaveReadablePartItem = 0x260100BC;  // 以可读部分另存为新章节
inline constexpr forms::UnitId kDailyTargetItem = 0x260100BD;     // 设置每日目标…
inline constexpr forms::UnitId kWritingHistoryItem = 0x260100BE;  // 写作记录…
inline constexpr forms::UnitId kChapterHistoryItem = 0x260100BF;  // 章节历史… (text menu)
inline constexpr forms::UnitId kListHistoryItem = 0x260100C0;     // 章节历史… (list menu)
inline constexpr forms::UnitId kDeletedChaptersItem = 0x260100C1;  // 已删除的章节…
inline constexpr forms::UnitId kFindItem = 0x260100C2;              // 查找…
inline constexpr forms::UnitId kReplaceItem = 0x260100C3;           // 替换…
inline constexpr forms::UnitId kLayOutItem = 0x260100C4;            // 排版
inline constexpr forms::UnitId kCopyForPublishingItem = 0x260100C5;  // 复制为发布格式
inline constexpr forms::UnitId kPublishingSettingsItem = 0x260100C6;  // 排版与发布设置…
inline constexpr forms::UnitId kImportNovelItem = 0x260100C7;         // 导入小说…
inline constexpr forms::UnitId kExportNovelItem = 0x260100C8;         // 导出小说…
}  // namespace unit

// The classes of the units that unit references name.
namespace unit_class {
inline constexpr runtime::TypeRef kWindow = runtime::MakeTypeRef(0, 0);
inline constexpr runtime::TypeRef kMenu = runtime::MakeTypeRef(0, 2);
inline constexpr runtime::TypeRef kEditBox = runtime::MakeTypeRef(0, 4);
inline constexpr runtime::TypeRef kCommonDialog = runtime::MakeTypeRef(0, 30);
inline constexpr runtime::TypeRef kTreeBox = runtime::MakeTypeRef(1, 0);
}  // namespace unit_class

// Property indexes (the common ones, then each class's own from 8).
namespace property {
inline constexpr int32_t kLeft = 0;
inline constexpr int32_t kTop = 1;
inline constexpr int32_t kWidth = 2;
inline constexpr int32_t kHeight = 3;
inline constexpr int32_t kWindowState = 18;  // window: 0 normal, 2 minimised, 3 maximised
inline constexpr int32_t kContent = 8;       // edit box
inline constexpr int32_t kTextColor = 10;    // edit box
inline constexpr int32_t kBackColor = 11;    // edit box
inline constexpr int32_t kFont = 12;         // edit box, written one member at a time
inline constexpr int32_t kInputMode = 18;    // edit box: 0 normal, 1 read-only
inline constexpr int32_t kSelLength = 25;    // edit box
inline constexpr int32_t kCaption = 8;       // label, transparent label
inline constexpr int32_t kLabelTextColor = 11;  // transparent label
inline constexpr int32_t kCurrentItem = 16;  // tree box
inline constexpr int32_t kInterval = 8;      // timer
inline constexpr int32_t kChecked = 1;       // menu item
inline constexpr int32_t kMenuItemVisible = 3;
inline constexpr int32_t kCurrentColor = 8;  // colour picker
// the common dialog's font results
inline constexpr int32_t kFontBold = 21;
inline constexpr int32_t kFontStrikeOut = 23;
inline constexpr int32_t kFontUnderline = 24;
inline constexpr int32_t kFontName = 25;
inline constexpr int32_t kFontSize = 26;
// members of a font property
inline constexpr int32_t kFontMemberBold = 1;
inline constexpr int32_t kFontMemberStrikeOut = 3;
inline constexpr int32_t kFontMemberUnderline = 4;
inline constexpr int32_t kFontMemberSize = 5;
inline constexpr int32_t kFontMemberFace = 6;
}  // namespace property

}  // namespace app
