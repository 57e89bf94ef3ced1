#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "forms/template_block.h"
#include "tools/form_tool/form_file.h"

namespace unit_tests {

// Compiles the form file `form` (with the routine list `routines`, both in `folder`),
// dumps the block as a form file and compiles the dump: both blocks must be the same
// bytes. Answers the dump, for checks of what it says; empty when a step failed.
inline std::string DumpAfterCompileDumpCompile(const std::filesystem::path& folder,
                                               const std::string& form,
                                               const std::string& routines) {
  std::ifstream in(folder / form, std::ios::binary);
  std::ostringstream json;
  json << in.rdbuf();
  const auto table = form_tool::RoutineTable::Load(folder / routines);
  EXPECT_TRUE(table) << routines;
  if (!table) return {};
  std::string error;
  const auto templates = form_tool::CompileForm(json.str(), folder, *table, error);
  EXPECT_TRUE(templates) << error;
  if (!templates) return {};
  const std::string dumped = form_tool::DumpForm(*templates, *table);
  const auto again = form_tool::CompileForm(dumped, folder, *table, error);
  EXPECT_TRUE(again) << error;
  if (!again) return {};
  EXPECT_EQ(forms::WriteTemplateBlock(*again), forms::WriteTemplateBlock(*templates));
  return dumped;
}

}  // namespace unit_tests
