// The one application object of a test process.
#pragma once

class QApplication;

namespace unit_tests {

// Made on first use and never destroyed: Qt's test library keeps input devices that
// outlive static destruction.
QApplication& App();

}  // namespace unit_tests
