#pragma once

#include <string>

namespace app {

// Two writing desks on one folder would overwrite each other's chapters ten times a second.
// The first takes an exclusive open of 小说数据\写作台.lock for as long as it runs (the folder
// 小说数据 is made first when missing). Gives an empty text when this process holds it, else
// the reason it could not (GBK): another desk has it, or the lock cannot be held at all (a
// folder that cannot be written, a read-only lock file, a file system without locks) — a
// desk without the lock could not know it is alone, so it must not run either.
std::string ClaimProgramFolder();

// The box of a refused start, with the reason and the folder.
void TellFolderNotClaimed(const std::string& reason);

}  // namespace app
