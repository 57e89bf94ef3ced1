#include "tools/form_tool/form_file.h"

#include <QByteArray>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "forms/shortcut_keys.h"
#include "platform/core/code_page.h"
#include "units/base/class_data_codec.h"

namespace form_tool {

namespace {

using nlohmann::ordered_json;

// Errors inside the compiler travel as exceptions and leave it as a message.
struct FormError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

std::string Hex(uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", value);
  return text;
}

uint32_t ParseId(const ordered_json& value) {
  if (value.is_number()) return value.get<uint32_t>();
  const std::string text = value.get<std::string>();
  return static_cast<uint32_t>(std::stoul(text, nullptr, 0));
}

std::string Utf8(const std::string& gbk) { return platform::GbkToUtf8(gbk); }
std::string Gbk(const std::string& utf8) { return platform::Utf8ToGbk(utf8); }

std::string Base64(const std::vector<uint8_t>& bytes) {
  return QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()))
      .toBase64()
      .toStdString();
}

std::vector<uint8_t> FromBase64(const std::string& text) {
  const QByteArray bytes = QByteArray::fromBase64(QByteArray::fromStdString(text));
  return {bytes.begin(), bytes.end()};
}

std::vector<uint8_t> ReadBytes(const ordered_json& value, const std::filesystem::path& folder) {
  if (value.contains("base64")) return FromBase64(value["base64"].get<std::string>());
  if (value.contains("file")) {
    const std::filesystem::path path = folder / std::filesystem::u8path(value["file"].get<std::string>());
    std::ifstream in(path, std::ios::binary);
    if (!in) throw FormError("cannot read " + path.string());
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  throw FormError("byte data needs \"base64\" or \"file\"");
}

ordered_json BytesJson(const std::vector<uint8_t>& bytes) { return {{"base64", Base64(bytes)}}; }

// Event numbers by name: a class's own events from 0, the shared ones from -1 down.
std::string EventName(int32_t event, const units::ClassDataCodec* codec) {
  const auto& common = units::CommonEventNames();
  if (event < 0 && -event <= static_cast<int32_t>(common.size())) return common[static_cast<size_t>(-event - 1)];
  if (codec != nullptr && event >= 0 && event < static_cast<int32_t>(codec->event_names.size())) {
    return codec->event_names[static_cast<size_t>(event)];
  }
  return std::to_string(event);
}

int32_t EventNumber(const std::string& name, const units::ClassDataCodec* codec) {
  const auto& common = units::CommonEventNames();
  for (size_t i = 0; i < common.size(); ++i) {
    if (common[i] == name) return -static_cast<int32_t>(i) - 1;
  }
  if (codec != nullptr) {
    for (size_t i = 0; i < codec->event_names.size(); ++i) {
      if (codec->event_names[i] == name) return static_cast<int32_t>(i);
    }
  }
  try {
    return std::stoi(name);
  } catch (const std::exception&) {
    throw FormError("unknown event " + name);
  }
}

int32_t HandlerOffset(const ordered_json& value, const RoutineTable& routines) {
  if (value.is_null()) return -1;
  if (value.is_number()) return value.get<int32_t>();
  const int32_t offset = routines.OffsetOf(value.get<std::string>());
  if (offset < 0) throw FormError("unknown routine " + value.get<std::string>());
  return offset;
}

ordered_json HandlerJson(int32_t offset, const RoutineTable& routines) {
  if (offset == -1) return nullptr;
  const std::string name = routines.NameAt(offset);
  return name.empty() ? ordered_json(offset) : ordered_json(name);
}

template <size_t N>
void ReadWords(const ordered_json& unit, const char* key, int32_t (&words)[N]) {
  if (!unit.contains(key)) return;
  for (size_t i = 0; i < N; ++i) words[i] = unit[key].at(i).get<int32_t>();
}

template <size_t N>
void WriteWords(ordered_json& unit, const char* key, const int32_t (&words)[N]) {
  bool any = false;
  for (int32_t word : words) any = any || word != 0;
  if (any) unit[key] = std::vector<int32_t>(words, words + N);
}

units::PropertyMap PropertiesOf(const ordered_json& properties, const std::filesystem::path& folder) {
  units::PropertyMap fields;
  for (const auto& [name, value] : properties.items()) {
    if (value.is_boolean()) {
      fields.emplace_back(name, value.get<bool>());
    } else if (value.is_number()) {
      fields.emplace_back(name, value.get<int64_t>());
    } else if (value.is_string()) {
      fields.emplace_back(name, Gbk(value.get<std::string>()));
    } else {
      fields.emplace_back(name, ReadBytes(value, folder));
    }
  }
  return fields;
}

ordered_json PropertiesJson(const units::PropertyMap& fields) {
  ordered_json properties = ordered_json::object();
  for (const auto& [name, value] : fields) {
    if (const auto* number = std::get_if<int64_t>(&value)) properties[name] = *number;
    if (const auto* logical = std::get_if<bool>(&value)) properties[name] = *logical;
    if (const auto* text = std::get_if<std::string>(&value)) properties[name] = Utf8(*text);
    if (const auto* bytes = std::get_if<std::vector<uint8_t>>(&value)) properties[name] = BytesJson(*bytes);
  }
  return properties;
}

forms::MenuItemTemplate CompileMenuItem(const ordered_json& unit, const RoutineTable& routines) {
  forms::MenuItemTemplate item;
  if (unit.contains("type")) item.type = ParseId(unit["type"]);
  ReadWords(unit, "reserved", item.reserved);
  item.name = Gbk(unit.value("name", ""));
  item.comment = Gbk(unit.value("comment", ""));
  item.level = unit.value("level", 0);
  item.caption = Gbk(unit.value("caption", ""));
  const ordered_json shortcut = unit.value("shortcut", ordered_json(0));
  if (shortcut.is_string()) {
    for (int32_t index = 1; index <= 76 && item.shortcut == 0; ++index) {
      if (forms::ShortcutKeyAt(index)->name == shortcut.get<std::string>()) item.shortcut = index;
    }
    if (item.shortcut == 0) throw FormError("unknown shortcut " + shortcut.get<std::string>());
  } else {
    item.shortcut = shortcut.get<int32_t>();
  }
  if (unit.value("hidden", false)) item.flags |= forms::menu_flag::kHidden;
  if (unit.value("disabled", false)) item.flags |= forms::menu_flag::kDisabled;
  if (unit.value("checked", false)) item.flags |= forms::menu_flag::kChecked;
  item.flags |= unit.value("other_flags", 0u);
  item.selected.handler_offset = HandlerOffset(unit.value("handler", ordered_json()), routines);
  return item;
}

forms::UnitTemplate CompileUnit(const ordered_json& unit, const std::filesystem::path& folder,
                                const RoutineTable& routines) {
  forms::UnitTemplate out;
  const std::string class_name = unit.value("class", "");
  const units::ClassDataCodec* codec = units::FindCodecByName(class_name);
  if (codec != nullptr) {
    out.type = codec->type;
  } else if (unit.contains("type")) {
    out.type = ParseId(unit["type"]);
  } else {
    throw FormError("unknown class " + class_name);
  }
  if (unit.contains("event_source")) out.event_source = ParseId(unit["event_source"]);
  ReadWords(unit, "reserved", out.reserved);
  out.name = Gbk(unit.value("name", ""));
  out.comment = Gbk(unit.value("comment", ""));
  out.left = unit.value("left", 0);
  out.top = unit.value("top", 0);
  out.width = unit.value("width", 0);
  out.height = unit.value("height", 0);
  if (unit.contains("parent")) out.parent = ParseId(unit["parent"]);
  for (const auto& child : unit.value("children", ordered_json::array())) out.children.push_back(ParseId(child));
  if (unit.contains("cursor")) {
    const ordered_json& cursor = unit["cursor"];
    if (cursor.is_number()) {
      const int32_t id = cursor.get<int32_t>();
      out.mouse_pointer.resize(4);
      std::memcpy(out.mouse_pointer.data(), &id, 4);
    } else {
      out.mouse_pointer = ReadBytes(cursor, folder);
    }
  }
  out.tag = Gbk(unit.value("tag", ""));
  out.word_a = unit.value("word_a", 0);
  if (unit.value("visible", false)) out.flags |= forms::unit_flag::kVisible;
  if (unit.value("disabled", false)) out.flags |= forms::unit_flag::kDisabled;
  if (unit.value("tab_stop", false)) out.flags |= forms::unit_flag::kTabStop;
  out.flags |= unit.value("other_flags", 0u);
  out.word_b = unit.value("word_b", 0);
  for (const auto& binding : unit.value("events", ordered_json::array())) {
    const ordered_json event = binding.at("event");
    out.events.push_back({event.is_number() ? event.get<int32_t>() : EventNumber(event.get<std::string>(), codec),
                          HandlerOffset(binding.at("handler"), routines), 0});
  }
  ReadWords(unit, "reserved_tail", out.reserved_tail);
  if (unit.contains("class_data")) {
    out.class_data = ReadBytes(unit["class_data"], folder);
  } else if (codec != nullptr) {
    auto encoded = codec->encode(PropertiesOf(unit.value("properties", ordered_json::object()), folder));
    if (!encoded) throw FormError("bad properties of " + class_name);
    out.class_data = std::move(*encoded);
  }
  return out;
}

ordered_json DumpMenuItem(const forms::MenuItemTemplate& item, const RoutineTable& routines) {
  ordered_json unit;
  unit["menu"] = true;
  if (item.type != 0x00010003) unit["type"] = Hex(item.type);
  WriteWords(unit, "reserved", item.reserved);
  if (!item.name.empty()) unit["name"] = Utf8(item.name);
  if (!item.comment.empty()) unit["comment"] = Utf8(item.comment);
  unit["level"] = item.level;
  unit["caption"] = Utf8(item.caption);
  if (auto shortcut = forms::ShortcutKeyAt(item.shortcut)) {
    unit["shortcut"] = shortcut->name;
  } else if (item.shortcut != 0) {
    unit["shortcut"] = item.shortcut;
  }
  if (item.flags & forms::menu_flag::kHidden) unit["hidden"] = true;
  if (item.flags & forms::menu_flag::kDisabled) unit["disabled"] = true;
  if (item.flags & forms::menu_flag::kChecked) unit["checked"] = true;
  if (const uint32_t other = item.flags & ~7u) unit["other_flags"] = other;
  unit["handler"] = HandlerJson(item.selected.handler_offset, routines);
  return unit;
}

ordered_json DumpUnit(const forms::UnitTemplate& unit_template, const RoutineTable& routines) {
  ordered_json unit;
  const units::ClassDataCodec* codec = units::FindCodec(unit_template.type);
  if (codec != nullptr) {
    unit["class"] = codec->chinese_name;
  } else {
    unit["type"] = Hex(unit_template.type);
  }
  if (unit_template.event_source != 0) unit["event_source"] = Hex(unit_template.event_source);
  WriteWords(unit, "reserved", unit_template.reserved);
  unit["name"] = Utf8(unit_template.name);
  if (!unit_template.comment.empty()) unit["comment"] = Utf8(unit_template.comment);
  unit["left"] = unit_template.left;
  unit["top"] = unit_template.top;
  unit["width"] = unit_template.width;
  unit["height"] = unit_template.height;
  if (unit_template.parent != 0) unit["parent"] = Hex(unit_template.parent);
  if (!unit_template.children.empty()) {
    ordered_json children = ordered_json::array();
    for (forms::UnitId child : unit_template.children) children.push_back(Hex(child));
    unit["children"] = children;
  }
  if (unit_template.mouse_pointer.size() == 4) {
    int32_t id;
    std::memcpy(&id, unit_template.mouse_pointer.data(), 4);
    unit["cursor"] = id;
  } else if (!unit_template.mouse_pointer.empty()) {
    unit["cursor"] = BytesJson(unit_template.mouse_pointer);
  }
  if (!unit_template.tag.empty()) unit["tag"] = Utf8(unit_template.tag);
  if (unit_template.word_a != 0) unit["word_a"] = unit_template.word_a;
  unit["visible"] = (unit_template.flags & forms::unit_flag::kVisible) != 0;
  if (unit_template.flags & forms::unit_flag::kDisabled) unit["disabled"] = true;
  if (unit_template.flags & forms::unit_flag::kTabStop) unit["tab_stop"] = true;
  if (const uint32_t other = unit_template.flags & ~7u) unit["other_flags"] = other;
  if (unit_template.word_b != 0) unit["word_b"] = unit_template.word_b;
  if (!unit_template.events.empty()) {
    ordered_json events = ordered_json::array();
    for (const forms::EventBinding& binding : unit_template.events) {
      events.push_back({{"event", EventName(binding.event, codec)},
                        {"handler", HandlerJson(binding.handler_offset, routines)}});
    }
    unit["events"] = events;
  }
  WriteWords(unit, "reserved_tail", unit_template.reserved_tail);
  // Class data that its class reads back to the same bytes is shown as properties.
  std::optional<units::PropertyMap> fields;
  if (codec != nullptr) fields = codec->decode(unit_template.class_data);
  if (fields && codec->encode(*fields) == unit_template.class_data) {
    unit["properties"] = PropertiesJson(*fields);
  } else {
    unit["class_data"] = BytesJson(unit_template.class_data);
  }
  return unit;
}

}  // namespace

std::optional<RoutineTable> RoutineTable::Load(const std::filesystem::path& path) {
  std::ifstream in(path);
  if (!in) return std::nullopt;
  RoutineTable table;
  for (std::string line; std::getline(in, line);) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    if (!line.empty() && line[0] != '#') table.names.push_back(line);
  }
  return table;
}

int32_t RoutineTable::OffsetOf(const std::string& name) const {
  for (size_t i = 0; i < names.size(); ++i) {
    if (names[i] == name) return static_cast<int32_t>(i) * kRoutineEntrySize;
  }
  return -1;
}

std::string RoutineTable::NameAt(int32_t offset) const {
  if (offset < 0 || offset % kRoutineEntrySize != 0) return {};
  const auto index = static_cast<size_t>(offset / kRoutineEntrySize);
  return index < names.size() ? names[index] : std::string();
}

std::optional<forms::TemplateSet> CompileForm(const std::string& json_text,
                                              const std::filesystem::path& folder,
                                              const RoutineTable& routines, std::string& error) {
  try {
    const ordered_json form = ordered_json::parse(json_text);
    forms::TemplateSet templates;
    for (const auto& window_json : form.at("windows")) {
      forms::WindowTemplate window;
      window.id = ParseId(window_json.at("id"));
      window.word0 = window_json.value("word0", 0);
      if (window_json.contains("word1")) window.word1 = static_cast<int32_t>(ParseId(window_json["word1"]));
      window.text0 = Gbk(window_json.value("text0", ""));
      window.text1 = Gbk(window_json.value("text1", ""));
      for (const auto& unit : window_json.at("units")) {
        forms::UnitRecord record;
        record.id = ParseId(unit.at("id"));
        if (forms::IsMenuItemId(record.id)) {
          record.body = CompileMenuItem(unit, routines);
        } else {
          record.body = CompileUnit(unit, folder, routines);
        }
        window.units.push_back(std::move(record));
      }
      templates.windows.push_back(std::move(window));
    }
    return templates;
  } catch (const std::exception& e) {
    error = e.what();
    return std::nullopt;
  }
}

std::string DumpForm(const forms::TemplateSet& templates, const RoutineTable& routines) {
  ordered_json form;
  form["windows"] = ordered_json::array();
  for (const forms::WindowTemplate& window : templates.windows) {
    ordered_json window_json;
    window_json["id"] = Hex(window.id);
    if (window.word0 != 0) window_json["word0"] = window.word0;
    window_json["word1"] = Hex(static_cast<uint32_t>(window.word1));
    if (!window.text0.empty()) window_json["text0"] = Utf8(window.text0);
    if (!window.text1.empty()) window_json["text1"] = Utf8(window.text1);
    window_json["units"] = ordered_json::array();
    for (const forms::UnitRecord& record : window.units) {
      ordered_json unit = {{"id", Hex(record.id)}};
      unit.update(record.IsMenuItem() ? DumpMenuItem(record.MenuItem(), routines)
                                      : DumpUnit(record.Unit(), routines));
      window_json["units"].push_back(unit);
    }
    form["windows"].push_back(window_json);
  }
  return form.dump(2) + "\n";
}

}  // namespace form_tool
