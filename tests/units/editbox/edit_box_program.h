#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "runtime/program_image.h"

namespace edit_box_program {

// The test program: data/edit_box_window.json compiled, the program's unit classes and
// the fixture button, and routines that record what happened.
const runtime::ProgramImage& Image();

inline constexpr uint32_t kForm = 0x52010002;
inline constexpr uint32_t kName = 0x16010020;    // single line
inline constexpr uint32_t kText = 0x16010021;    // multi-line chapter text
inline constexpr uint32_t kButton = 0x16010022;  // the window's default button
inline constexpr uint32_t kPages = 0x16010023;   // integer text with automatic spin 1..10

// One entry per routine call: the routine's name, the event source's unit, and for
// handlers that take one the argument ("SpinStep 16010023 -1").
std::vector<std::string>& Log();
int Count(const std::string& entry);

// Runs inside every ContentChanged handler, after the log entry, when set.
std::function<void(uint32_t unit)>& OnContentChanged();
// Runs inside every FocusLost handler, when set.
std::function<void(uint32_t unit)>& OnFocusLost();

}  // namespace edit_box_program
