#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace units {

// Byte-valued properties (pictures, icons, fonts, item lists) travel in a
// PropertyValue's string and are kept by the units as byte vectors.
inline std::vector<uint8_t> BytesOf(const std::string& data) { return {data.begin(), data.end()}; }
inline std::string StringOf(const std::vector<uint8_t>& bytes) { return {bytes.begin(), bytes.end()}; }

}  // namespace units
