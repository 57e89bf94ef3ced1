#pragma once

#include <string>

namespace app {

// What the desk does when its text cannot be saved. Every save of the chapter's record and
// every write of the autosave file reports its result here. The first failure of an episode
// writes a rescue copy of the chapter on screen (rescue_copy.h), turns the forum label into
// a red warning line under the text that says what failed and where the text went (a click
// on it tells it again), and shows one message
// box; while failing, the rescue copy is rewritten at most once a second when the text
// changed. When every kind of save works again the line goes and the forum label is back.
enum class SaveKind { kRecord, kAutosave };

// `saved` is the result of one attempt. For a record, the engine's code of the failed
// command is read here, so call it right after the command.
void ReportSave(SaveKind kind, bool saved);

// A new session starts with no failure known.
void ForgetSaveFailures();

// Whether the last attempt of any kind failed.
bool SaveFailing();

// Writes the rescue copy of the chapter on screen at once, whatever the rate: before a
// switch leaves a chapter whose record could not take it, and before an ending. Gives its
// path (GBK), empty when no place took it.
std::string RescueShownChapter();

// What failed (GBK, e.g. "章节未能保存：磁盘空间不够"), for the close box; empty while saving
// works.
std::string SaveFailureReason();

// Places the warning line (the strip under the chapter list and the text box, where nothing
// else is) after a layout change.
void LayOutWarningLine();

// A click on the warning line tells the whole warning again; false when no warning is shown.
bool ExplainSaveFailure();

}  // namespace app
