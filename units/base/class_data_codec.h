#pragma once

#include <cstdint>
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

}  // namespace units
