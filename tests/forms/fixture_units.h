#pragma once

#include <cstdint>
#include <vector>

#include "runtime/program_image.h"

namespace fixtures {

// Small unit classes for tests of the form machinery, standing in for the classes that
// later parts of the program provide. They sit in unused slots of the core library:
//   0x00010002 box      a line edit; class property 0 its text (1005), 1 a font (1013)
//   0x00010004 button   a push button; class data: version, default flag; event 0 click
//   0x00010006 panel    a container with pages (children after the first 0 on page 2)
//   0x00010007 ticker   no window of its own; class data: version, interval in ms;
//                       event 0 on every tick
// The library table is the program's own with these four added.
const runtime::LibraryInfo* const* FixtureLibraryTable();

// Control ids the loader handed to the box, button, panel and ticker creations, in order.
const std::vector<int32_t>& CreatedControlIds();

}  // namespace fixtures
