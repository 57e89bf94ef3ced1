#pragma once

#include <cstdint>
#include <string>

namespace app {

// What the desk does when its text cannot be saved. Every save of the chapter's record and
// every write of the autosave file reports its result here. The first failure of an episode
// writes a rescue copy of the chapter on screen (rescue_copy.h), turns the forum label into
// a red warning line under the text that says what failed and where the text went (a click
// on it tells it again), and shows one notice that does not take the keyboard (the author
// may be typing on); while failing, the rescue copy is rewritten at most once a second when
// the text changed. When every kind of save works again the line goes and the forum label is
// back, unless chapters still wait in rescue copies (below).
enum class SaveKind { kRecord, kAutosave };

// `saved` is the result of one attempt. For a record, the engine's code of the failed
// command is read here, so call it right after the command.
void ReportSave(SaveKind kind, bool saved);

// Whether a save of `kind` should be tried now. After a failure the next attempts come at
// growing intervals (a quarter of a second, doubling up to two seconds) instead of at every
// tick, and meanwhile the rescue copy is kept current at its own rate. A success ends the
// waiting. Switches, new chapters and the end try whatever this says.
bool SaveAttemptDue(SaveKind kind);

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

// Chapters whose latest text is only in a rescue copy. A rescue of the chapter on screen
// lists its record (in 小说数据\待恢复章节.txt as well, so that the next start knows); a save
// that its record takes while it is still on the screen heals it. A chapter left while
// listed keeps waiting: the red line says how many wait, the close asks, and selecting it
// again offers its rescued text (taken, or dropped knowingly). No record is packed away
// while any waits: the list names records by number.
//
// At the start, after the chapters are listed: reads the list and tells, without taking the
// keyboard, which chapters wait (and which are gone from the list, their copies left).
void LoadRescuedChapters();
// The chapter of `record` leaves the screen (a switch, a new chapter).
void NoteChapterLeft(int32_t record);
// The chapter of `record` was deleted: it waits no more.
void NoteChapterDeleted(int32_t record);
// The chapter just loaded waits in a rescue copy: asks whether to put its rescued text back
// (the text it holds now goes to a copy of its own first), to drop it, or to decide later.
void OfferRescuedText();
bool RescuedChaptersWaiting();
// At the close: true when no other chapter waits, or the author closes knowing which do.
bool MayCloseWithRescuedChapters();

}  // namespace app
