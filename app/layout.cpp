#include "app/layout.h"

#include <algorithm>

#include "app/gate_calls.h"
#include "app/main_window_ids.h"
#include "app/save_alarm.h"
#include "units/base/unit_methods.h"

namespace app {

namespace {

using runtime::ArgCell;

int32_t Get(forms::UnitId id, int32_t property) { return ReadInt(id, property); }
void Set(forms::UnitId id, int32_t property, int32_t value) { WriteInt(id, property, value); }

// Every placement below is computed from the window's inside and from these fixed sizes, never
// from a size the layout itself wrote before: a layout repeated at every resize then cannot
// drift.

// The right column, from the right edge inwards.
constexpr int32_t kGroupWidth = 152;      // the settings group
constexpr int32_t kGroupRightGap = 25;
constexpr int32_t kClockWidth = 160;      // the clock's lines and the figures' captions
constexpr int32_t kFigureWidth = 110;     // the figures, up to the right edge
constexpr int32_t kTextRightGap = 180;    // the text box ends 3 pixels before the settings group
constexpr int32_t kSmallestTextWidth = 200;  // the splitter cannot squeeze the text box further

// The strip under the text box and the list, and the boxes' tops.
constexpr int32_t kTextBottomGap = 65;      // the text box's height is the inside's less this
constexpr int32_t kSplitterBottomGap = 55;
constexpr int32_t kListBottomGap = 122;

// The top row: the forum label stands between the chapter's count and the search box.
constexpr int32_t kForumTop = 13;
constexpr int32_t kForumHeight = 24;
constexpr int32_t kForumWidth = 224;        // as wide as it may be; narrower it ends in "…"
constexpr int32_t kForumGap = 8;            // clear of the chapter's count

// At this inside height and above, the right column stands as the form draws it; it closes up
// evenly down to the smallest height, where the compact tops below hold.
constexpr int32_t kRoomyHeight = 580;

struct Row {
  forms::UnitId unit;
  int32_t roomy_top;    // the form's own
  int32_t compact_top;  // at the smallest height
};

// The settings group's rows, in the group: the compact group closes the gap where a hidden
// button stands.
constexpr int32_t kGroupTop = 47;
constexpr int32_t kGroupRoomyHeight = 216;
constexpr int32_t kGroupCompactHeight = 131;
constexpr Row kGroupRows[] = {
    {unit::kBackColorCaption, 109, 65}, {unit::kBackColorPicker, 107, 63},
    {unit::kTextColorCaption, 165, 97}, {unit::kTextColorPicker, 163, 95},
};

// Below the group: the five figures with their captions, today's line and the clock. The
// compact rows stand 30 and 22 pixels apart and end 38 pixels above the smallest inside's
// bottom; the roomy ones end 14 above the form's.
constexpr Row kCaptionRows[] = {
    {unit::kHoursCaption, 280, 186},     {unit::kMinutesCaption, 315, 216},
    {unit::kSecondsCaption, 350, 246},   {unit::kPerSecondCaption, 385, 276},
    {unit::kPerMinuteCaption, 422, 306},
};
constexpr Row kFigureRows[] = {
    {unit::kHours, 283, 189},     {unit::kMinutes, 315, 216},    {unit::kSeconds, 351, 247},
    {unit::kPerSecond, 387, 278}, {unit::kPerMinute, 424, 308},
};
constexpr Row kClockRows[] = {
    {unit::kTodayLabel, 452, 338},  {unit::kDateLabel, 475, 360},   {unit::kHourLabel, 501, 382},
    {unit::kMinuteLabel, 527, 404}, {unit::kSecondLabel, 550, 426},
};

// Between the compact top (at the smallest height) and the roomy one (at the form's height):
// both layouts are clear of overlaps, and so is every mix of them.
int32_t Blend(int32_t roomy, int32_t compact, int32_t height) {
  constexpr int32_t kSpan = kRoomyHeight - kSmallestInnerHeight;
  const int32_t into = std::clamp(height - kSmallestInnerHeight, 0, kSpan);
  return compact + ((roomy - compact) * into + kSpan / 2) / kSpan;
}

int32_t InsideWidth() { return units::InnerWidth(kMainWindow, unit::kWindow); }
int32_t InsideHeight() { return units::InnerHeight(kMainWindow, unit::kWindow); }

void LayOutRightColumn(int32_t width, int32_t height) {
  Set(unit::kSettingsGroup, property::kLeft, width - (kGroupWidth + kGroupRightGap));
  Set(unit::kSettingsGroup, property::kTop, kGroupTop);
  Set(unit::kSettingsGroup, property::kHeight, Blend(kGroupRoomyHeight, kGroupCompactHeight, height));
  for (const Row& row : kGroupRows) Set(row.unit, property::kTop, Blend(row.roomy_top, row.compact_top, height));
  for (const Row& row : kCaptionRows) {
    Set(row.unit, property::kLeft, width - kClockWidth);
    Set(row.unit, property::kTop, Blend(row.roomy_top, row.compact_top, height));
  }
  for (const Row& row : kFigureRows) {
    Set(row.unit, property::kLeft, width - kFigureWidth);
    Set(row.unit, property::kTop, Blend(row.roomy_top, row.compact_top, height));
    Set(row.unit, property::kWidth, kFigureWidth);
  }
  for (const Row& row : kClockRows) {
    Set(row.unit, property::kLeft, width - kClockWidth);
    Set(row.unit, property::kTop, Blend(row.roomy_top, row.compact_top, height));
  }
}

void LayOutTopRow(int32_t width) {
  Set(unit::kCloseButton, property::kLeft, width - (Get(unit::kCloseButton, property::kWidth) + 20));
  const int32_t minimise_width = Get(unit::kMinimiseButton, property::kWidth);
  Set(unit::kMinimiseButton, property::kLeft, width - (minimise_width + 95));
  // The minimise button's width, not its own: the three buttons sit side by side.
  Set(unit::kMaximiseButton, property::kLeft, width - (minimise_width + 50));
  const int32_t search_left = width - kGroupWidth * 3;
  Set(unit::kSearchBox, property::kLeft, search_left);
  Set(unit::kSearchButton, property::kLeft,
      width - kGroupWidth - (Get(unit::kSearchButton, property::kWidth) + 20));
  const int32_t count_right =
      Get(unit::kCountLabel, property::kLeft) + Get(unit::kCountLabel, property::kWidth);
  const int32_t forum_left = std::max(search_left - kForumWidth, count_right + kForumGap);
  Set(unit::kForumLabel, property::kLeft, forum_left);
  Set(unit::kForumLabel, property::kTop, kForumTop);
  Set(unit::kForumLabel, property::kWidth, std::max(search_left - forum_left, 0));
  Set(unit::kForumLabel, property::kHeight, kForumHeight);
}

}  // namespace

void LayOutForWindowSize() {
  const int32_t width = InsideWidth();
  const int32_t height = InsideHeight();
  if (width <= 0 || height <= 0) return;
  Set(unit::kTextBox, property::kHeight, height - kTextBottomGap);
  Set(unit::kSplitter, property::kHeight, height - kSplitterBottomGap);
  Set(unit::kChapterList, property::kHeight, height - kListBottomGap);
  LayOutRightColumn(width, height);
  LayOutTopRow(width);
  // The text box's width, from where the splitter stands (kept clear of the right column).
  LayOutAroundSplitter(Get(unit::kSplitter, property::kLeft));
}

void StartWithinTheScreen() {
  units::KeepInnerSizeAtLeast(kMainWindow, unit::kWindow, kSmallestInnerWidth, kSmallestInnerHeight);
  const units::ScreenArea area = units::AvailableScreenArea(kMainWindow, unit::kWindow);
  if (area.width <= 0 || area.height <= 0) return;
  // The frame, where the window system has told it already (else it is added once shown).
  const int32_t frame_width = Get(unit::kWindow, property::kWidth) - InsideWidth();
  const int32_t frame_height = Get(unit::kWindow, property::kHeight) - InsideHeight();
  const int32_t width = std::max(std::min(Get(unit::kWindow, property::kWidth), area.width),
                                 kSmallestInnerWidth + frame_width);
  const int32_t height = std::max(std::min(Get(unit::kWindow, property::kHeight), area.height),
                                  kSmallestInnerHeight + frame_height);
  // Within the area; a window larger than it (the smallest on a tinier screen) at its top left,
  // where the title buttons can be reached.
  const int32_t left = std::max(
      std::min(Get(unit::kWindow, property::kLeft), area.left + area.width - width), area.left);
  const int32_t top = std::max(
      std::min(Get(unit::kWindow, property::kTop), area.top + area.height - height), area.top);
  Set(unit::kWindow, property::kWidth, width);
  Set(unit::kWindow, property::kHeight, height);
  Set(unit::kWindow, property::kLeft, left);
  Set(unit::kWindow, property::kTop, top);
}

void LayOutAroundSplitter(int32_t left) {
  const int32_t width = InsideWidth();
  const int32_t bar_width = Get(unit::kSplitter, property::kWidth);
  const int32_t text_right = width - kTextRightGap;
  left = std::max(std::min(left, text_right - kSmallestTextWidth - bar_width - 1), 8);
  Set(unit::kSplitter, property::kLeft, left);
  const int32_t bar_left = Get(unit::kSplitter, property::kLeft);
  Set(unit::kChapterList, property::kWidth, bar_left - Get(unit::kChapterList, property::kLeft) - 2);
  Set(unit::kNameBox, property::kWidth, bar_left - Get(unit::kNameBox, property::kLeft) - 2);
  const int32_t text_left = bar_left + bar_width + 1;
  // Move with the top and the height left out.
  Core(libraries::kMove, {EditBoxRef(unit::kTextBox), ArgCell::Int(text_left), ArgCell{},
                          ArgCell::Int(text_right - text_left), ArgCell{}});
  LayOutWarningLine();
}

}  // namespace app
