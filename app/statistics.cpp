#include "app/statistics.h"

#include <cstdint>
#include <initializer_list>
#include <utility>

#include "app/chapters.h"
#include "app/character_count.h"
#include "app/daily_progress.h"
#include "app/gate_calls.h"
#include "app/main_window_ids.h"
#include "app/publishing_actions.h"
#include "units/editbox/edit_box_methods.h"

namespace app {

namespace {

using runtime::ArgCell;

// Grows by one each second of timing; never reset while the window lives.
int32_t seconds_counter = 0;

void ShowNumber(forms::UnitId label, const ArgCell& number) {
  const runtime::Text text = CoreText(libraries::kToText, {number});
  WriteText(label, property::kCaption, text.View());
}

// A caption read back as a number.
double NumberOf(forms::UnitId label) {
  const runtime::Text caption = ReadText(label, property::kCaption);
  return Core(libraries::kToNumber, {caption.Arg()}).As<double>();
}

// Divisions are not guarded: a quotient by zero shows as ToText shows a non-finite number.
void ShowQuotient(forms::UnitId label, double dividend, double divisor) {
  ShowNumber(label, ArgCell::Double(dividend / divisor));
}

}  // namespace

void ResetSecondsCounter() { seconds_counter = 0; }

void CountChapterCharacters() {
  // The count of the text read whole (Content), kept by the box line by line: a key in a
  // novel-sized chapter does not read the chapter again.
  const int64_t count = units::MeasureContent(kMainWindow, unit::kTextBox, &CountCharacters);
  ShowNumber(unit::kCountLabel, ArgCell::Int(static_cast<int32_t>(count)));
  // The daily target counts as the author chose; the label keeps the desk's own count.
  const units::GbkMeasure target_measure = TargetCountMeasure();
  NoteChapterCount(target_measure == &CountCharacters
                       ? count
                       : units::MeasureContent(kMainWindow, unit::kTextBox, target_measure));
  NoteChapterCharacters(count);
}

void StartTiming() {
  for (const auto& [timer, interval] : {std::pair{unit::kSecondsTimer, 1000}, std::pair{unit::kMinutesTimer, 1000},
                                        std::pair{unit::kPerSecondTimer, 100}, std::pair{unit::kPerMinuteTimer, 1000},
                                        std::pair{unit::kHoursTimer, 1000}}) {
    WriteInt(timer, property::kInterval, interval);
  }
}

void StopTiming() {
  for (forms::UnitId timer : {unit::kPerSecondTimer, unit::kPerMinuteTimer, unit::kSecondsTimer,
                              unit::kMinutesTimer, unit::kHoursTimer}) {
    WriteInt(timer, property::kInterval, 0);
  }
}

void TickSeconds() {
  ++seconds_counter;
  ShowNumber(unit::kSeconds, ArgCell::Int(seconds_counter));
}

void ShowMinutes() {
  const double seconds = Core(libraries::kToNumber, {ArgCell::Int(seconds_counter)}).As<double>();
  const double sixty = Core(libraries::kToNumber, {ArgCell::Int(60)}).As<double>();
  ShowQuotient(unit::kMinutes, seconds, sixty);
}

void ShowHours() {
  const double sixty = Core(libraries::kToNumber, {ArgCell::Int(60)}).As<double>();
  ShowQuotient(unit::kHours, NumberOf(unit::kMinutes), sixty);
}

void ShowPerSecond() { ShowQuotient(unit::kPerSecond, NumberOf(unit::kCountLabel), NumberOf(unit::kSeconds)); }

void ShowPerMinute() { ShowQuotient(unit::kPerMinute, NumberOf(unit::kCountLabel), NumberOf(unit::kMinutes)); }

}  // namespace app
