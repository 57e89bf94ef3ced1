#pragma once

namespace app {

// The autosave file (自动保存\自动保存文件【勿删】.txt) holds the text box's text. It is
// replaced whole (never left empty or torn) and only when the text changed since it was
// last written, so an idle author costs no disk writes. Nothing is written while the menu
// item "自动保存内容" is not checked. Every write's result goes to the save alarm.
//
// After an unclean ending the file left by the last session may be the only extra copy of
// its text: the first rewrite of a session first copies a non-empty file that differs from
// the new text to 自动保存备份 (once per session; nothing is written while that copy fails).
// While writes fail they are tried at growing intervals (SaveAttemptDue), unless
// `even_while_backing_off` (the end's last attempt).
void Autosave(bool even_while_backing_off = false);

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
