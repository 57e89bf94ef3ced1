#pragma once

#include <cstdint>

#include "platform/core/clock.h"
#include "writing_history/history.h"

// The author's day: what the typing adds to the novel, kept per calendar day in the writing
// history (小说数据/写作记录.json), shown against the daily target in the window, saved at
// most once a minute and at the end.
//
// Growth is measured on the chapter on screen: every count of the text box (after each
// change) is compared with the count before it, on the same chapter record. A count on
// another record than the last one (a chapter loaded, a new chapter) only sets the new
// starting point. A chapter deleted takes its count away from today.
namespace app {

// At start-up: reads the history (a damaged file is kept aside and the author told) and
// shows today's line.
void StartWritingHistory();

// The text box was counted: `count` characters on the chapter on screen.
void NoteChapterCount(int64_t count);
// The next count only sets the starting point (the count's rule changed).
void RestartChapterCount();
// A key reached the text box: this minute counts as a minute of writing.
void NoteKeyInText();
// The line's timer ticked: today's line shows the figure typing has reached.
void ShowTodayLine();
// The chapter on screen was deleted from the database.
void NoteShownChapterDeleted();

// Each second: today's line follows the date, and a changed history is saved once a minute.
void KeepWritingHistory();
// At the end: a changed history is saved. A failure adds no box to the close's own (the
// line has shown it while the desk ran, and the days are figures, not the author's text).
void SaveWritingHistoryAtEnd();

// "设置每日目标…": asks for the target (0: none).
void AskForDailyTarget();
// "写作记录…": the chart of the days.
void ShowWritingHistoryChart();

// Today as the desk's clock says.
writing_history::DayNumber Today();

// Tests move the desk's clock over a midnight; nullptr gives back the system's.
using LocalClock = platform::LocalTime (*)();
void UseClockForTesting(LocalClock clock);

}  // namespace app
