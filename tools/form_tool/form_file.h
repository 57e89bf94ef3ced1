#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "forms/window_template.h"

namespace form_tool {

// The readable form file: JSON with UTF-8 texts, ids as hexadecimal strings, units with
// their class, position, flags, cursor, event bindings by routine name and class
// properties by name; menu items with level, caption, flags, shortcut and handler.
// Picture bytes may come from files beside the form file ({"file": "title.gif"}).

// The routine table of a program: handler offset i * 8 names routine i.
struct RoutineTable {
  std::vector<std::string> names;

  static std::optional<RoutineTable> Load(const std::filesystem::path& path);
  int32_t OffsetOf(const std::string& name) const;  // -1 when unknown
  std::string NameAt(int32_t offset) const;         // empty when none
};

inline constexpr int32_t kRoutineEntrySize = 8;

// Compiles a form file; on failure `error` says what and where.
std::optional<forms::TemplateSet> CompileForm(const std::string& json_text,
                                              const std::filesystem::path& folder,
                                              const RoutineTable& routines, std::string& error);

// The readable form of a template set (what CompileForm turns back into the same set).
std::string DumpForm(const forms::TemplateSet& templates, const RoutineTable& routines);

}  // namespace form_tool
