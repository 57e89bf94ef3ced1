#pragma once

#include <QRect>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "forms/form_ids.h"
#include "platform/gui/menu.h"
#include "platform/gui/window.h"

namespace forms {

// The operations a unit class hands out through its GetUnitInterface function; the form
// machinery reaches a class in no other way. A class answers null for an operation it does
// not offer.
namespace unit_op {
inline constexpr int32_t kCreate = 1;
inline constexpr int32_t kWriteProperty = 4;
inline constexpr int32_t kSaveState = 5;
inline constexpr int32_t kReadProperty = 6;
inline constexpr int32_t kClassIcon = 7;
inline constexpr int32_t kOwnsKey = 8;
inline constexpr int32_t kVisitTexts = 9;
inline constexpr int32_t kIsDefaultButton = 10;
}  // namespace unit_op

// The form machinery asks a loaded window unit to show itself in its start state (normal,
// minimised or maximised) with this message.
inline constexpr uint32_t kShowLoadedWindowMessage = 0x80A0;
// ... and asks whether a loaded window is marked for destruction (answer 1), clearing the
// mark, before it loads the window again.
inline constexpr uint32_t kTakeDestroyMarkMessage = 0x80A1;

// Extra style bits the loader hands to create.
namespace unit_style {
inline constexpr uint32_t kDisabled = 0x08000000;
inline constexpr uint32_t kTabStop = 0x00010000;
}  // namespace unit_style

struct CreateParams {
  std::span<const uint8_t> class_data;
  uint32_t extra_style = 0;
  gui::Window* parent = nullptr;  // the owner for a window, the window for its units
  int32_t control_id = 0;
  const std::vector<gui::MenuEntry>* menu_bar = nullptr;
  std::vector<gui::Accelerator> accelerators;
  QRect rect;
  FormId form = 0;
  UnitId unit = 0;
};

// A property value between the form machinery and a class: numbers (integers, colours,
// logicals, 8-byte values) in `number`, texts (GBK) and byte data (pictures, fonts, item
// lists) in `data`.
struct PropertyValue {
  int64_t number = 0;
  std::string data;
};

// A text visitor of operation 9: may change the text in place.
using TextVisitor = void (*)(std::string& text, bool is_font_face, void* context);

using CreateFunction = gui::Window* (*)(const CreateParams& params);
// Returns 1 when the unit must be re-created for the change to show, else 0.
using WritePropertyFunction = int32_t (*)(gui::Window* unit, int32_t class_index,
                                          const PropertyValue& value);
using SaveStateFunction = std::optional<std::vector<uint8_t>> (*)(gui::Window* unit);
using ReadPropertyFunction = bool (*)(gui::Window* unit, int32_t class_index,
                                      PropertyValue* value);
using ClassIconFunction = std::optional<std::vector<uint8_t>> (*)(std::span<const uint8_t> data);
using OwnsKeyFunction = bool (*)(gui::Window* unit, const gui::Message& message);
using VisitTextsFunction = std::optional<std::vector<uint8_t>> (*)(
    std::span<const uint8_t> class_data, TextVisitor visitor, void* context);
using IsDefaultButtonFunction = bool (*)(gui::Window* unit);

// The typed operation `op` of a class, or null.
template <typename Function>
Function UnitOperation(void* (*get_unit_interface)(int32_t), int32_t op) {
  if (get_unit_interface == nullptr) return nullptr;
  return reinterpret_cast<Function>(get_unit_interface(op));
}

}  // namespace forms
