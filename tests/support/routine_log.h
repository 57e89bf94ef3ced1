#pragma once

#include <string>
#include <vector>

#include "runtime/program_image.h"

namespace unit_tests {

// What the routines of a test program saw, one entry per call. Each fixture empties it.
inline std::vector<std::string>& Log() {
  static std::vector<std::string> log;
  return log;
}

// A routine's whole work in most tests: note that it ran, return no value.
inline runtime::HandlerResult Note(const std::string& entry) {
  Log().push_back(entry);
  return {};
}

}  // namespace unit_tests
