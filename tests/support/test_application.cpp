#include "tests/support/test_application.h"

#include <QApplication>

namespace unit_tests {

QApplication& App() {
  static int argc = 1;
  static char arg0[] = "inkstone_test";
  static char* argv[] = {arg0, nullptr};
  static auto* application = new QApplication(argc, argv);
  return *application;
}

}  // namespace unit_tests
