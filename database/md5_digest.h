#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace database {

// The MD5 digest of `bytes`, from the system's cryptography (nettle on POSIX systems, the
// cryptography primitives of the Windows API).
std::array<uint8_t, 16> Md5Digest(std::string_view bytes);

}  // namespace database
