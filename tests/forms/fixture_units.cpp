#include "tests/forms/fixture_units.h"

#include <QLineEdit>
#include <QPushButton>
#include <cstring>

#include "forms/byte_stream.h"
#include "forms/unit_interface.h"
#include "libraries/library_table.h"
#include "units/base/base_properties.h"
#include "units/base/unit_base.h"

namespace fixtures {

namespace {

std::vector<int32_t> control_ids;

class Box : public gui::Window, public units::UnitBase {
 public:
  explicit Box(const forms::CreateParams& params)
      : gui::Window(new QLineEdit), units::UnitBase(params.form, params.unit) {
    Widget()->setFocusPolicy(Qt::StrongFocus);
  }
  std::string font;
  int64_t WindowProc(gui::Message& message) override {
    if (message.id == gui::msg::kSetFocus) FireEvent(-7);
    if (message.id == gui::msg::kKillFocus) FireEvent(-8);
    if (message.id == gui::msg::kFinalDestroy) ReportDestroyed();
    return DefaultProc(message);
  }
};

class Button : public gui::Window, public units::UnitBase {
 public:
  Button(const forms::CreateParams& params, bool is_default)
      : gui::Window(new QPushButton("Go")), units::UnitBase(params.form, params.unit),
        default_(is_default) {}
  bool IsDefaultButton() const override { return default_; }
  void Click() override { FireEvent(0); }
  std::optional<QString> MnemonicCaption() const override { return QString("&Go"); }
  void ActivateByMnemonic() override { Click(); }
  int64_t WindowProc(gui::Message& message) override {
    if (message.id == gui::msg::kFinalDestroy) ReportDestroyed();
    return DefaultProc(message);
  }

 private:
  bool default_;
};

class Panel : public gui::Window, public units::UnitBase {
 public:
  explicit Panel(const forms::CreateParams& params)
      : gui::Window(new QWidget), units::UnitBase(params.form, params.unit) {}
  int64_t WindowProc(gui::Message& message) override {
    if (message.id == gui::msg::kFinalDestroy) ReportDestroyed();
    return DefaultProc(message);
  }
};

class Ticker : public gui::Window, public units::UnitBase {
 public:
  Ticker(const forms::CreateParams& params, int32_t interval)
      : gui::Window(new QWidget), units::UnitBase(params.form, params.unit) {
    SetTimer(1, interval);
  }
  int64_t WindowProc(gui::Message& message) override {
    if (message.id == gui::msg::kTimer) FireEvent(0);
    if (message.id == gui::msg::kFinalDestroy) ReportDestroyed();
    return DefaultProc(message);
  }
};

void Place(gui::Window* window, const forms::CreateParams& params) {
  control_ids.push_back(params.control_id);
  if (params.parent != nullptr) window->SetParentWindow(params.parent);
  window->SetRect(params.rect);
  window->Enable(!(params.extra_style & forms::unit_style::kDisabled));
}

int32_t Word(std::span<const uint8_t> data, int index, int32_t fallback) {
  if (data.size() < static_cast<size_t>(4 * (index + 1))) return fallback;
  int32_t value;
  std::memcpy(&value, data.data() + 4 * index, 4);
  return value;
}

gui::Window* CreateBox(const forms::CreateParams& params) {
  auto* box = new Box(params);
  Place(box, params);
  return box;
}
gui::Window* CreateButton(const forms::CreateParams& params) {
  auto* button = new Button(params, Word(params.class_data, 1, 0) != 0);
  Place(button, params);
  return button;
}
gui::Window* CreatePanel(const forms::CreateParams& params) {
  auto* panel = new Panel(params);
  Place(panel, params);
  return panel;
}
gui::Window* CreateTicker(const forms::CreateParams& params) {
  auto* ticker = new Ticker(params, Word(params.class_data, 1, 100));
  Place(ticker, params);
  return ticker;
}

int32_t WriteBox(gui::Window* unit, int32_t index, const forms::PropertyValue& value) {
  auto* box = dynamic_cast<Box*>(unit);
  if (index == 0) static_cast<QLineEdit*>(box->Widget())->setText(QString::fromStdString(value.data));
  if (index == 1) box->font = value.data;
  return 0;
}
bool ReadBox(gui::Window* unit, int32_t index, forms::PropertyValue* value) {
  auto* box = dynamic_cast<Box*>(unit);
  if (index == 0) value->data = static_cast<QLineEdit*>(box->Widget())->text().toStdString();
  if (index == 1) value->data = box->font;
  return index <= 1;
}

template <gui::Window* (*create)(const forms::CreateParams&)>
void* Interface(int32_t operation) {
  return operation == forms::unit_op::kCreate ? reinterpret_cast<void*>(create) : nullptr;
}

void* BoxInterface(int32_t operation) {
  switch (operation) {
    case forms::unit_op::kCreate: return reinterpret_cast<void*>(&CreateBox);
    case forms::unit_op::kWriteProperty: return reinterpret_cast<void*>(&WriteBox);
    case forms::unit_op::kReadProperty: return reinterpret_cast<void*>(&ReadBox);
    default: return nullptr;
  }
}

}  // namespace

const std::vector<int32_t>& CreatedControlIds() { return control_ids; }

const runtime::LibraryInfo* const* FixtureLibraryTable() {
  static const runtime::LibraryInfo* const* table = [] {
    const runtime::LibraryInfo& core = *libraries::LibraryTable()[0];
    auto* types = new runtime::DataTypeInfo[static_cast<size_t>(core.data_type_count)];
    std::copy(core.data_types, core.data_types + core.data_type_count, types);
    const auto add = [&](int index, const char* name, uint32_t flags,
                         runtime::GetUnitInterfaceFunction get, const runtime::PropertyInfo* properties,
                         int32_t count) {
      types[index].english_name = name;
      types[index].state_flags = flags;
      types[index].get_unit_interface = get;
      types[index].properties = properties;
      types[index].property_count = count;
    };
    add(1, "Box", 0x80000040, &BoxInterface, units::MakeProperties({1005, 1013}), 10);
    add(3, "Button", 0x80000840, &Interface<&CreateButton>, units::MakeProperties({}), 8);
    add(5, "Panel", 0x80000140, &Interface<&CreatePanel>, units::MakeProperties({}), 8);
    add(6, "Ticker", 0x80008040, &Interface<&CreateTicker>, units::MakeProperties({}), 8);
    auto* library = new runtime::LibraryInfo(core);
    library->data_types = types;
    auto** libraries = new const runtime::LibraryInfo*[libraries::kLibraryCount];
    for (int i = 0; i < libraries::kLibraryCount; ++i) libraries[i] = libraries::LibraryTable()[i];
    libraries[0] = library;
    return libraries;
  }();
  return table;
}

}  // namespace fixtures
