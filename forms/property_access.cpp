// Reading and writing unit properties by index: the eight base properties from the
// template record or the live window, class properties through the class's operations,
// menu items from their records.
#include <QCursor>
#include <QWidget>
#include <algorithm>
#include <cstring>

#include "forms/cursor_ids.h"
#include "forms/forms_runtime.h"
#include "forms/logical_font.h"
#include "forms/menu_builder.h"
#include "platform/gui/frame_window.h"
#include "runtime/allocator.h"
#include "runtime/blocks.h"
#include "runtime/cell_values.h"
#include "runtime/error_report.h"
#include "runtime/gbk_literal.h"
#include "runtime/runtime_callback.h"
#include "runtime/runtime_state.h"

namespace forms {

using namespace runtime::property_type;

namespace {

using runtime::ArgCell;

constexpr int32_t kPositionLimit = 32627;

enum BaseProperty { kLeft, kTop, kWidth, kHeight, kTag, kVisible, kDisabled, kMouseCursor };

[[noreturn]] void WindowOfUnitNotLoaded() {
  runtime::ReportError(runtime::Gbk("未载入欲访问窗口组件所在的窗口"));
}
[[noreturn]] void WindowNotLoaded() { runtime::ReportError(runtime::Gbk("指定窗口尚未载入")); }

std::string TextOfCell(const ArgCell& cell) {
  if (cell.type != runtime::kText) runtime::ReportRuntimeError(11);
  return std::string(runtime::TextOf(cell.AsPointer<char>()));
}

std::string BytesOfCell(const ArgCell& cell) {
  if (cell.type != runtime::kByteSet) runtime::ReportRuntimeError(11);
  const auto bytes = runtime::ByteSetBytes(cell.AsPointer<void>());
  return std::string(bytes.begin(), bytes.end());
}

bool LogicalOfCell(const ArgCell& cell) {
  return cell.type == runtime::kLogical ? cell.low != 0 : runtime::CellToInt32(cell) != 0;
}

ArgCell TextCell(std::string_view text) { return ArgCell::Text(runtime::MakeText(text)); }
ArgCell ByteSetCell(std::string_view bytes) {
  return ArgCell::ByteSet(runtime::MakeByteSet(bytes.data(), static_cast<int32_t>(bytes.size())));
}

uint16_t PropertyType(const runtime::DataTypeInfo& type, int32_t index) {
  if (index < 0 || index >= type.property_count) runtime::ReportRuntimeError(11);
  return type.properties[index].type;
}

// A font property's value, field by field or whole.
ArgCell ReadFontElement(const LogicalFont& font, int32_t element) {
  switch (element) {
    case 0: return ArgCell::Int(font.orientation);
    case 1: return ArgCell::Logical(font.weight >= 700);
    case 2: return ArgCell::Logical(font.italic != 0);
    case 3: return ArgCell::Logical(font.strike_out != 0);
    case 4: return ArgCell::Logical(font.underline != 0);
    case 5: return ArgCell::Int(font.Points());
    case 6: return TextCell(font.face);
    default: {
      // Seven fields: angle, bold, italic, strikeout, underline, size (32-bit each), then
      // the face name as a text block pointer.
      auto* block = static_cast<uint8_t*>(runtime::AllocBlock(24 + sizeof(char*)));
      const int32_t words[6] = {font.orientation, font.weight >= 700, font.italic != 0,
                                font.strike_out != 0, font.underline != 0, font.Points()};
      std::memcpy(block, words, sizeof words);
      char* face = runtime::MakeText(font.face);
      std::memcpy(block + 24, &face, sizeof face);
      return ArgCell::Pointer(runtime::kUnsized, block);
    }
  }
}

void SetFaceName(LogicalFont& font, std::string face, size_t longest) {
  font.face = face.empty() || face.size() > longest ? DefaultFaceName() : std::move(face);
}

void WriteFontElement(LogicalFont& font, int32_t element, const ArgCell& value) {
  switch (element) {
    case 0: {
      int32_t angle = runtime::CellToInt32(value) % 3600;
      if (angle < 0) angle += 3600;
      font.escapement = font.orientation = angle;
      break;
    }
    case 1: font.weight = LogicalOfCell(value) ? 700 : 0; break;
    case 2: font.italic = LogicalOfCell(value); break;
    case 3: font.strike_out = LogicalOfCell(value); break;
    case 4: font.underline = LogicalOfCell(value); break;
    case 5: font.SetPoints(std::max(runtime::CellToInt32(value), 0)); break;
    case 6: SetFaceName(font, TextOfCell(value), 31); break;
    default: {
      const auto* block = value.AsPointer<const uint8_t>();
      if (block == nullptr) runtime::ReportRuntimeError(11);
      int32_t words[6];
      std::memcpy(words, block, sizeof words);
      const char* face;
      std::memcpy(&face, block + 24, sizeof face);
      font.escapement = font.orientation = words[0];
      font.weight = words[1] ? 700 : 0;
      font.italic = words[2] != 0;
      font.strike_out = words[3] != 0;
      font.underline = words[4] != 0;
      font.SetPoints(std::max(words[5], 0));
      SetFaceName(font, face == nullptr ? std::string() : std::string(face), 30);
    }
  }
}

ArgCell CellOfValue(uint16_t type, const PropertyValue& value, int32_t element) {
  switch (type) {
    case kWord: case kInteger: case kPickList: case kColor: case kColorOfSet: case kBackColor:
      return ArgCell::Int(static_cast<int32_t>(value.number));
    case kLong: case kDateTime: return ArgCell::Long(value.number);
    case kLogical: return ArgCell::Logical(static_cast<int32_t>(value.number) == 1);
    case kPicture: case kIcon: case kSound: case kPictureGroup: case kItemList: return ByteSetCell(value.data);
    case kMousePointer: {
      const auto bytes = MapCursorBytesToIndex(
          {reinterpret_cast<const uint8_t*>(value.data.data()), value.data.size()});
      return ByteSetCell({reinterpret_cast<const char*>(bytes.data()), bytes.size()});
    }
    case kFont: {
      const auto font = LogicalFont::FromBytes(
          {reinterpret_cast<const uint8_t*>(value.data.data()), value.data.size()});
      return ReadFontElement(font.value_or(LogicalFont::Default()), element);
    }
    default: return TextCell(value.data);
  }
}

PropertyValue ValueOfCell(uint16_t type, const ArgCell& cell, int32_t element,
                          const PropertyValue& current_font) {
  PropertyValue value;
  switch (type) {
    case kWord: case kInteger: case kColor: case kColorOfSet: case kBackColor:
      value.number = runtime::CellToInt32(cell);
      break;
    case kPickList: value.number = std::max(runtime::CellToInt32(cell), 0); break;
    case kLong: case kDateTime: value.number = cell.Payload64(); break;
    case kLogical: value.number = LogicalOfCell(cell) ? 1 : 0; break;
    case kPicture: case kIcon: case kSound: case kPictureGroup: case kItemList: value.data = BytesOfCell(cell); break;
    case kMousePointer: {
      const std::string bytes = BytesOfCell(cell);
      const auto mapped =
          MapCursorBytesToStored({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()});
      value.data.assign(mapped.begin(), mapped.end());
      break;
    }
    case kFont: {
      LogicalFont font = LogicalFont::FromBytes({reinterpret_cast<const uint8_t*>(current_font.data.data()),
                                                 current_font.data.size()})
                             .value_or(LogicalFont::Default());
      WriteFontElement(font, element, cell);
      const auto bytes = font.Bytes();
      value.data.assign(bytes.begin(), bytes.end());
      break;
    }
    default: value.data = TextOfCell(cell); break;
  }
  return value;
}

ArgCell ReadMenuItem(const MenuItemTemplate& item, int32_t property) {
  switch (property) {
    case 0: return TextCell(item.caption);
    case 1: return ArgCell::Logical(item.flags & menu_flag::kChecked);
    case 2: return ArgCell::Logical(item.flags & menu_flag::kDisabled);
    case 3: return ArgCell::Logical(!(item.flags & menu_flag::kHidden));
    default: runtime::ReportRuntimeError(11);
  }
}

// Sets or clears `bit`; true when the flags changed.
bool SetFlag(uint32_t& flags, uint32_t bit, bool on) {
  const uint32_t updated = on ? (flags | bit) : (flags & ~bit);
  const bool changed = updated != flags;
  flags = updated;
  return changed;
}

bool WriteMenuItem(MenuItemTemplate& item, int32_t property, const ArgCell& value) {
  switch (property) {
    case 0: {
      std::string caption = TextOfCell(value);
      if (caption == item.caption) return false;
      item.caption = std::move(caption);
      return true;
    }
    case 1: return SetFlag(item.flags, menu_flag::kChecked, LogicalOfCell(value));
    case 2: return SetFlag(item.flags, menu_flag::kDisabled, LogicalOfCell(value));
    case 3: return SetFlag(item.flags, menu_flag::kHidden, !LogicalOfCell(value));
    default: runtime::ReportRuntimeError(11);
  }
}

ArgCell ReadBaseProperty(const UnitTemplate& unit, gui::Window* live, int32_t property) {
  const QRect rect = live != nullptr ? live->Rect() : QRect();
  switch (property) {
    case kLeft: return ArgCell::Int(live ? rect.left() : unit.left);
    case kTop: return ArgCell::Int(live ? rect.top() : unit.top);
    case kWidth: return ArgCell::Int(live ? rect.width() : unit.width);
    case kHeight: return ArgCell::Int(live ? rect.height() : unit.height);
    case kTag: return TextCell(unit.tag);
    case kVisible: return ArgCell::Logical(live ? live->IsVisible() : (unit.flags & unit_flag::kVisible));
    case kDisabled:
      return ArgCell::Logical(live ? live->Widget()->testAttribute(Qt::WA_Disabled)
                                   : (unit.flags & unit_flag::kDisabled));
    default: {
      const auto bytes = MapCursorBytesToIndex(unit.mouse_pointer);
      return ByteSetCell({reinterpret_cast<const char*>(bytes.data()), bytes.size()});
    }
  }
}

}  // namespace

ArgCell FormsRuntime::ReadUnitProperty(FormId form, UnitId unit_id, int32_t property,
                                       int32_t element) {
  WindowTemplate* window = templates_.Find(form);
  if (window == nullptr) WindowOfUnitNotLoaded();
  UnitRecord* record = window->FindUnit(unit_id);
  if (record == nullptr) runtime::ReportError(runtime::error_text::UnitNotFound());
  if (record->IsMenuItem()) return ReadMenuItem(record->MenuItem(), property);

  const UnitTemplate& unit = record->Unit();
  gui::Window* live = RecordWindow(unit);
  if (property < 8) return ReadBaseProperty(unit, live, property);
  if (live == nullptr) WindowNotLoaded();
  const runtime::DataTypeInfo* type = ClassOf(unit.type);
  if (type == nullptr) runtime::ReportRuntimeError(11);
  const uint16_t property_type = PropertyType(*type, property);
  const auto read = UnitOperation<ReadPropertyFunction>(type->get_unit_interface, unit_op::kReadProperty);
  PropertyValue value;
  if (read == nullptr || !read(live, property - 8, &value)) value = {};
  return CellOfValue(property_type, value, element);
}

void FormsRuntime::WriteUnitProperty(FormId form, UnitId unit_id, int32_t property,
                                     int32_t element, const ArgCell& value) {
  WindowTemplate* window = templates_.Find(form);
  if (window == nullptr) WindowOfUnitNotLoaded();
  const int32_t index = window->IndexOf(unit_id);
  if (index < 0) runtime::ReportError(runtime::error_text::UnitNotFound());
  UnitRecord& record = window->units[static_cast<size_t>(index)];
  if (record.IsMenuItem()) {
    if (WriteMenuItem(record.MenuItem(), property, value)) RebuildMenu(*window);
    return;
  }
  UnitTemplate& unit = record.Unit();
  gui::Window* live = RecordWindow(unit);
  const runtime::DataTypeInfo* type = ClassOf(unit.type);

  if (property >= 8) {
    if (live == nullptr) WindowNotLoaded();
    if (type == nullptr) runtime::ReportRuntimeError(11);
    const uint16_t property_type = PropertyType(*type, property);
    PropertyValue current;
    if (property_type == kFont) {
      const auto read = UnitOperation<ReadPropertyFunction>(type->get_unit_interface, unit_op::kReadProperty);
      if (read != nullptr) read(live, property - 8, &current);
    }
    const PropertyValue converted = ValueOfCell(property_type, value, element, current);
    const auto write = UnitOperation<WritePropertyFunction>(type->get_unit_interface, unit_op::kWriteProperty);
    if (write == nullptr) return;
    const gui::WindowHandle handle = live->Handle();
    if (write(live, property - 8, converted) == 1 && gui::IsWindowAlive(handle) && index != 0) {
      runtime::RuntimeCallback(runtime::callback_code::kPumpAndRaiseNesting, 0, 0);
      if (WindowTemplate* again = templates_.Find(form)) RecreateUnit(*again, index);
      runtime::RuntimeCallback(runtime::callback_code::kPumpAndLowerNesting, 0, 0);
    }
    return;
  }

  switch (property) {
    case kLeft:
    case kTop: {
      const int32_t position = std::clamp(runtime::CellToInt32(value), -kPositionLimit, kPositionLimit);
      (property == kLeft ? unit.left : unit.top) = position;
      if (live != nullptr) {
        QRect rect = live->Rect();
        rect.moveTo(property == kLeft ? position : rect.left(), property == kTop ? position : rect.top());
        live->SetRect(rect);
      }
      break;
    }
    case kWidth:
    case kHeight: {
      const int32_t size = std::clamp(runtime::CellToInt32(value), 0, kPositionLimit);
      (property == kWidth ? unit.width : unit.height) = size;
      if (live != nullptr) {
        QRect rect = live->Rect();
        if (property == kWidth) rect.setWidth(size); else rect.setHeight(size);
        live->SetRect(rect);
      }
      break;
    }
    case kTag: unit.tag = TextOfCell(value); break;
    case kVisible: {
      const bool visible = LogicalOfCell(value);
      SetFlag(unit.flags, unit_flag::kVisible, visible);
      if (live == nullptr) break;
      if (!visible) {
        live->Show(gui::ShowMode::kHide);
      } else if (index == 0) {
        live->Show(gui::ShowMode::kShow);  // in the state it has; the start state is the load's
      } else if (type == nullptr || (type->state_flags & runtime::type_flag::kNoVisibleWindow) == 0) {
        live->Show(gui::ShowMode::kNoActivate);
      }
      break;
    }
    case kDisabled: {
      const bool disabled = LogicalOfCell(value);
      SetFlag(unit.flags, unit_flag::kDisabled, disabled);
      if (live != nullptr) live->Enable(!disabled);
      break;
    }
    default: {
      const std::string bytes = value.type == runtime::kByteSet || value.AsPointer<void>() != nullptr
                                    ? BytesOfCell(value) : std::string();
      unit.mouse_pointer = MapCursorBytesToStored(
          {reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()});
      unit.cursor = 0;
      if (live == nullptr) break;
      if (auto cursor = MakeUnitCursor(unit.mouse_pointer)) {
        live->Widget()->setCursor(*cursor);
        unit.cursor = 1;
      } else {
        live->Widget()->unsetCursor();
      }
      QCursor::setPos(QCursor::pos());  // the shape under the pointer changes at once
      break;
    }
  }
}

void FormsRuntime::RebuildMenu(WindowTemplate& window) {
  if (window.units.empty()) return;
  auto* frame = dynamic_cast<gui::FrameWindow*>(RecordWindow(window.units[0].Unit()));
  if (frame == nullptr) return;
  const BuiltMenu menu = BuildMenuBar(window);
  frame->SetMenuBar(menu.bar);
  frame->SetAccelerators(menu.accelerators);
}

}  // namespace forms
