#pragma once

namespace app {

// The work at the window's end, in this order: the boxes into the chapter's record; every
// chapter file copied into 小说文件备份 and a box saying whether that worked; when the text
// box holds text, the autosave file brought up to date and copied into 自动保存备份 under the
// date and time, and a box saying whether that worked; the database packed.
void RunExitBackup();

}  // namespace app
