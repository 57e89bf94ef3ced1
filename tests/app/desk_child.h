// The writing desk as a separate process: the test binary, linked (or copied) into a fresh
// program folder and started there with "--desk", runs the real program image exactly as
// the shipped program does. Message boxes are answered with 确定 and written, one per line
// (caption TAB text), to boxes.log in the program folder. With "--type <file>" it also
// types like an author once its window is up: a new chapter, the name 第一章, then the
// file's text (UTF-8) key by key, one key every few milliseconds; after each key it writes
// the number of characters of the text typed so far and the monotonic time in ms to
// typed.log, and "done" when the text is finished. With "--full-after <n>" as well, the
// program folder's disk is full from the n-th key on (the platform's fault hook). With
// "--answer-no" a box without 确定 is answered 否. With "--new-chapter-every <n>" a new chapter
// (named 第一章 too) is begun after every n keys, the text typed on into it.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/program_process.h"

namespace desk_tests {

// The child's side: runs the program; returns its exit code.
int RunDeskChild(int argc, char** argv);

// The parent's side: puts the running binary into `folder` and starts it there with
// "--desk" and `arguments`.
std::unique_ptr<test_support::ProgramProcess> StartDeskChild(const std::filesystem::path& folder,
                                                             const std::vector<std::string>& arguments = {});

// Milliseconds of the monotonic clock (the one the child logs with).
long long MonotonicMs();

}  // namespace desk_tests
