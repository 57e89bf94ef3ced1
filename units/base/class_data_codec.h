#pragma once

#include <cstdint>
#include <initializer_list>
#include <type_traits>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "runtime/type_code.h"

namespace units {

// A class's own data as named fields, for tools that read and write forms: numbers,
// logicals, texts (GBK) and byte data (pictures, icons, sounds, fonts, item lists).
using PropertyField = std::variant<int64_t, bool, std::string, std::vector<uint8_t>>;
using PropertyMap = std::vector<std::pair<std::string, PropertyField>>;

// How a unit class's data turns into named fields and back. Encoding starts from the
// class's defaults; a field it does not know, or of the wrong kind, fails the encoding.
struct ClassDataCodec {
  const char* chinese_name;  // UTF-8, e.g. "窗口"
  const char* english_name;  // e.g. "Window"
  runtime::TypeRef type;
  std::optional<PropertyMap> (*decode)(std::span<const uint8_t> class_data);
  std::optional<std::vector<uint8_t>> (*encode)(const PropertyMap& fields);
  // Names of the class's own events, numbered from 0.
  std::vector<std::string> event_names;
};

// Names of the events every unit shares, numbered -1 down to -12.
const std::vector<std::string>& CommonEventNames();

// The codecs of every linked unit class.
const std::vector<ClassDataCodec>& ClassDataCodecs();
const ClassDataCodec* FindCodec(runtime::TypeRef type);
const ClassDataCodec* FindCodecByName(const std::string& name);  // Chinese or English

// Field access for encoders: reads a named field of the wanted kind into `out`; false
// when present with another kind.
template <typename T>
bool TakeField(const PropertyMap& fields, const char* name, T& out) {
  for (const auto& [field_name, value] : fields) {
    if (field_name != name) continue;
    if constexpr (std::is_same_v<T, int32_t> || std::is_same_v<T, uint32_t>) {
      if (!std::holds_alternative<int64_t>(value)) return false;
      out = static_cast<T>(std::get<int64_t>(value));
    } else {
      if (!std::holds_alternative<T>(value)) return false;
      out = std::get<T>(value);
    }
    return true;
  }
  return true;
}

// True when every field of `fields` is one of `known`.
bool OnlyKnownFields(const PropertyMap& fields, std::initializer_list<const char*> known);

}  // namespace units
