#pragma once

#include <string>

#include "runtime/arg_cell.h"
#include "runtime/gbk_literal.h"
#include "runtime/owned_blocks.h"
#include "tests/platform/core/test_support.h"

namespace commands_test {

using platform::core_test::ReadNative;
using platform::core_test::TempFolder;
using platform::core_test::WriteNative;
using runtime::ArgCell;
using runtime::Gbk;

// A text result taken over (and freed) as a std::string.
inline std::string TakeText(const ArgCell& result) {
  return std::string(runtime::Text::FromResult(result).View());
}

// A byte-set result taken over (and freed) as a std::string of its bytes.
inline std::string TakeBytes(const ArgCell& result) {
  const runtime::ByteSet bytes = runtime::ByteSet::FromResult(result);
  return std::string(bytes.Bytes().begin(), bytes.Bytes().end());
}

}  // namespace commands_test
