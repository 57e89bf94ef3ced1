#include "app/layout.h"

#include <initializer_list>

#include "app/gate_calls.h"
#include "app/main_window_ids.h"
#include "app/save_alarm.h"
#include "units/base/unit_methods.h"

namespace app {

namespace {

using runtime::ArgCell;

int32_t Get(forms::UnitId id, int32_t property) { return ReadInt(id, property); }
void Set(forms::UnitId id, int32_t property, int32_t value) { WriteInt(id, property, value); }

}  // namespace

void LayOutForWindowSize() {
  const int32_t width = Get(unit::kWindow, property::kWidth);
  const int32_t height = Get(unit::kWindow, property::kHeight);
  Set(unit::kTextBox, property::kHeight, height - 65);
  Set(unit::kTextBox, property::kWidth, width - 309);
  Set(unit::kSplitter, property::kHeight, height - 55);
  Set(unit::kChapterList, property::kHeight, height - 122);
  const int32_t group_width = Get(unit::kSettingsGroup, property::kWidth);
  Set(unit::kSettingsGroup, property::kLeft, width - (group_width + 25));
  Set(unit::kCloseButton, property::kLeft, width - (Get(unit::kCloseButton, property::kWidth) + 20));
  const int32_t minimise_width = Get(unit::kMinimiseButton, property::kWidth);
  Set(unit::kMinimiseButton, property::kLeft, width - (minimise_width + 95));
  // The minimise button's width, not its own: the three buttons sit side by side.
  Set(unit::kMaximiseButton, property::kLeft, width - (minimise_width + 50));
  for (forms::UnitId clock :
       {unit::kDateLabel, unit::kHourLabel, unit::kSecondLabel, unit::kMinuteLabel, unit::kTodayLabel}) {
    Set(clock, property::kLeft, width - Get(clock, property::kWidth));
  }
  const int32_t caption_left = width - Get(unit::kMinuteLabel, property::kWidth);
  for (forms::UnitId caption : {unit::kPerSecondCaption, unit::kHoursCaption, unit::kSecondsCaption,
                                unit::kMinutesCaption, unit::kPerMinuteCaption}) {
    Set(caption, property::kLeft, caption_left);
  }
  const int32_t figure_left = width - Get(unit::kHours, property::kWidth);
  // Placed from the window's Width, which counts its frame: the figures reach only as far as
  // the inside of the frame, where a figure too long for its label ends in "…".
  const int32_t figure_width = units::InnerWidth(kMainWindow, unit::kWindow) - figure_left;
  for (forms::UnitId figure : {unit::kHours, unit::kMinutes, unit::kSeconds, unit::kPerSecond, unit::kPerMinute}) {
    Set(figure, property::kLeft, figure_left);
    Set(figure, property::kWidth, figure_width);
  }
  Set(unit::kSearchBox, property::kLeft, width - group_width * 3);
  Set(unit::kSearchButton, property::kLeft,
      width - group_width - (Get(unit::kSearchButton, property::kWidth) + 20));
  Set(unit::kForumLabel, property::kLeft,
      Get(unit::kSearchBox, property::kLeft) - Get(unit::kForumLabel, property::kWidth));
  LayOutWarningLine();
}

void KeepTheStartSizeAsTheSmallest() { units::KeepSizeAsSmallest(kMainWindow, unit::kWindow); }

void LayOutAroundSplitter(int32_t left) {
  const int32_t width = Get(unit::kWindow, property::kWidth);
  if (left < 8) left = 8;
  if (left > width - 20) left = width - 20;
  Set(unit::kSplitter, property::kLeft, left);
  const int32_t bar_left = Get(unit::kSplitter, property::kLeft);
  Set(unit::kChapterList, property::kWidth, bar_left - Get(unit::kChapterList, property::kLeft) - 2);
  Set(unit::kNameBox, property::kWidth, bar_left - Get(unit::kNameBox, property::kLeft) - 2);
  const int32_t text_left = bar_left + Get(unit::kSplitter, property::kWidth) + 1;
  // Move with the top and the height left out.
  Core(libraries::kMove, {EditBoxRef(unit::kTextBox), ArgCell::Int(text_left), ArgCell{},
                          ArgCell::Int(width - 180 - text_left), ArgCell{}});
  LayOutWarningLine();
}

}  // namespace app
