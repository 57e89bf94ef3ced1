#pragma once

#include <cstdint>

namespace app {

// The autosave file (自动保存\自动保存文件【勿删】.txt) holds the text box's text. It is
// replaced whole (never left empty or torn) and only when the text changed since it was
// last written, so an idle author costs no disk writes. Nothing is written while the menu
// item "自动保存内容" is not checked. Every write's result goes to the save alarm.
//
// The writes are the writer's (desk_writer.h): a key never waits for them. While the author
// types, the file is rewritten at most every five seconds, and for a long chapter at most as
// often as keeps the bytes written to 32 KB a character at ten characters a second (a chapter
// of 2,000,000 characters: every twelve seconds), so the disk work per key does not grow with
// the chapter. The first change after such a wait is written at once.
//
// After an unclean ending the file left by the last session may be the only extra copy of
// its text: the first rewrite of a session first copies a non-empty file that differs from
// the new text to 自动保存备份 (once per session; nothing is written while that copy fails).
// While writes fail they are tried at growing intervals (SaveAttemptDue).

// The autosave timer's tick: hands the text to the writer when a write is due. Gives the
// milliseconds after which the timer should tick again, 0 when nothing waits.
int32_t Autosave();

// The end's last write: the text as it is now, written before this returns, whatever the
// pace or the failures before.
void AutosaveNow();

// Whether the file holds the text box's text, written in this session: only then is it this
// session's copy (the end backs it up).
bool AutosaveHoldsThisSessionsText();

// The text box changed: the next autosave writes it.
void MarkAutosaveStale();
// Whether the next autosave would write: the text changed since, and autosaving is on.
bool AutosaveDue();

// Start-up's first load is no edit: the file keeps the last session's text until the author
// changes the text.
void KeepLastSessionAutosave();

}  // namespace app
