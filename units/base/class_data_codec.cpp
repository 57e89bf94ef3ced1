#include "units/base/class_data_codec.h"

#include "units/unit_classes.h"

namespace units {

const std::vector<ClassDataCodec>& ClassDataCodecs() {
  static const std::vector<ClassDataCodec> codecs = [] {
    std::vector<ClassDataCodec> all;
    for (const UnitClass& unit_class : UnitClasses()) all.push_back(unit_class.codec);
    return all;
  }();
  return codecs;
}

const ClassDataCodec* FindCodec(runtime::TypeRef type) {
  for (const ClassDataCodec& codec : ClassDataCodecs()) {
    if (codec.type == type) return &codec;
  }
  return nullptr;
}

const ClassDataCodec* FindCodecByName(const std::string& name) {
  for (const ClassDataCodec& codec : ClassDataCodecs()) {
    if (name == codec.chinese_name || name == codec.english_name) return &codec;
  }
  return nullptr;
}

const std::vector<std::string>& CommonEventNames() {
  static const std::vector<std::string> names = {
      "MouseLeftDown", "MouseLeftUp", "DoubleClick", "MouseRightDown", "MouseRightUp", "MouseMove",
      "FocusGained",   "FocusLost",   "KeyDown",     "KeyUp",          "CharInput",    "MouseWheel"};
  return names;
}

}  // namespace units
