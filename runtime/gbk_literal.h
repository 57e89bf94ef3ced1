#pragma once

#include <string>
#include <string_view>

#include "platform/core/code_page.h"

namespace runtime {

// The system's own texts are written in the sources as UTF-8 and used as GBK.
inline std::string Gbk(std::string_view utf8) { return platform::Utf8ToGbk(utf8); }

}  // namespace runtime
