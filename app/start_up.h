#pragma once

namespace app {

// The window's start: the four folders, the chapter database, the themed look, the chapter
// list from the database with the first chapter loaded, and the clock. A database that
// cannot be opened leaves the list empty and tells the author, with the engine's reason,
// that nothing will be saved.
void StartUp();

// The four clock labels from the current date and time.
void ShowClock();

}  // namespace app
