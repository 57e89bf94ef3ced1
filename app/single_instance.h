#pragma once

namespace app {

// Two writing desks on one folder would overwrite each other's chapters ten times a second.
// The first takes an exclusive open of 小说数据\写作台.lock for as long as it runs; a second
// start finds it taken. True when this process may run (also when the folder holds no
// 小说数据, where start-up reports the missing database itself).
bool ClaimProgramFolder();

// The box of a refused second start.
void TellAlreadyOpen();

}  // namespace app
