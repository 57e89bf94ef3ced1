#pragma once

#include "disk_writer/disk_writer.h"

namespace app {

// The desk's writer thread (disk_writer.h): the 100 ms saves of the chapter, the flush after a
// pause and the autosave file are written there, so that a key never waits for the disk. Its
// answers (each save's result, for the save alarm) run on the window's thread from its event
// loop. Every use of the chapter database through the database list first waits until the
// writer is done with it.
disk_writer::Writer& DeskWriter();

// Waits until the writer has done every job handed, and runs their answers: before the desk
// reads or changes its chapters in any other way (a switch, a new or a deleted chapter, the
// close), so that the results are told for the chapter they belong to.
void FinishDeskWrites();

}  // namespace app
