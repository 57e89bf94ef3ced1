#pragma once

#include <QApplication>

namespace tree_test {

// The one application object of the test process, made on first use.
inline QApplication& App() {
  static int argc = 1;
  static char arg0[] = "tree_box_test";
  static char* argv[] = {arg0, nullptr};
  static auto* application = new QApplication(argc, argv);
  return *application;
}

}  // namespace tree_test
