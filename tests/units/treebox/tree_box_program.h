#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "runtime/program_image.h"

namespace tree_program {

// The test program of the tree box: the window compiled from data/tree_window.json, the
// program's own library table, and routines that record what they saw.
const runtime::ProgramImage& Image();

inline constexpr uint32_t kForm = 0x52010001;
inline constexpr uint32_t kTree = 0x16010010;   // every event bound
inline constexpr uint32_t kPlain = 0x16010011;  // default class data, nothing bound

// One entry per routine call: the event's name and its arguments, and for SelectionChanged
// the CurrentItem the handler reads, e.g. "SelectionChanged 2 current=0"; LabelEditEnding
// adds the EditedText it reads.
std::vector<std::string>& Log();
int Count(const std::string& prefix);

// What the routines answer; nothing means they return no value.
struct Answers {
  std::optional<bool> expanding, collapsing, edit_starting, edit_ending;
};
Answers& Answer();

}  // namespace tree_program
