#pragma once

namespace app {

// The autosave file (自动保存\自动保存文件【勿删】.txt) holds the text box's text. It is
// replaced whole (never left empty or torn) and only when the text changed since it was
// last written, so an idle author costs no disk writes. Nothing is written while the menu
// item "自动保存内容" is not checked.
void Autosave();

// The text box changed: the next autosave writes it.
void MarkAutosaveStale();

}  // namespace app
