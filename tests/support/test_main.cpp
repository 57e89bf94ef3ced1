// The main of every test program: GoogleTest, or a child mode the program was started in by a
// test (child_process.h).
#include <gtest/gtest.h>

#include "tests/support/child_process.h"

int main(int argc, char** argv) {
  if (const std::optional<int> code = test_support::RunChildMode(argc, argv)) return *code;
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
