#pragma once

namespace app {

// A termination request from the system (SIGTERM, SIGHUP) saves the chapter on screen into
// its record and the writing history, and ends the program, which closes the database cleanly; no backups and no
// boxes. The end of the desktop session first asks the window (CloseQuery may refuse it),
// then ends the same way.
void EndCleanlyOnTermination();

// True once the program ends without the exit work (a termination request, or a record
// that cannot be found): the window's Destroying then does nothing.
bool EndingWithoutExitWork();
void SkipExitWork();

}  // namespace app
