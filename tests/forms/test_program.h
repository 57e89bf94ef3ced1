#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "runtime/program_image.h"

namespace test_program {

// The test program: the window compiled from data/test_window.json, the fixture classes,
// and routines that record what happened.
const runtime::ProgramImage& Image();

inline constexpr uint32_t kForm = 0x52010001;
inline constexpr uint32_t kBox = 0x16010010;
inline constexpr uint32_t kButton = 0x16010011;
inline constexpr uint32_t kPanel = 0x16010012;
inline constexpr uint32_t kFirstPageBox = 0x16010013;
inline constexpr uint32_t kSecondPageBox = 0x16010014;
inline constexpr uint32_t kTicker = 0x16010015;
inline constexpr uint32_t kStopTimingItem = 0x26010076;

// What the routines saw, one entry per call: the routine's name, with the current event
// source's unit for menu selections.
std::vector<std::string>& Log();
int Count(const std::string& entry);

// What the routines answer.
struct Answers {
  bool close_query = true;
  bool idle_more = false;
  // CharInput: 'x' gives 0 (swallowed), 'a' gives 65; other characters no value.
};
Answers& Answer();

}  // namespace test_program
