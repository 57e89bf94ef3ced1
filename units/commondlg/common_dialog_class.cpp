#include "units/commondlg/common_dialog_class.h"

#include "forms/forms_runtime.h"
#include "units/base/unit_operations.h"
#include "units/commondlg/common_dialog_unit.h"

namespace units {

namespace {

using Data = CommonDialogClassData;
using Row = PropertyRow<CommonDialogUnit, Data>;
namespace type = runtime::property_type;

constexpr Row kRows[] = {
    {.name = "DialogType", .type = type::kPickList, .slot = &Data::dialog_type, .range = {0, 3}},
    {.name = "Title", .type = type::kText, .slot = &Data::title},
    {.name = "FileName", .type = type::kText, .slot = &Data::file_name},
    {.name = "Filter", .type = type::kText, .slot = &Data::filter},
    {.name = "FilterIndex",
     .type = type::kInteger,
     .slot = &Data::filter_index,
     .range = {0, INT32_MAX}},
    {.name = "InitialDir", .type = type::kText, .slot = &Data::initial_dir},
    {.name = "DefaultExt", .type = type::kText, .slot = &Data::default_ext},
    {.name = "CreatePrompt", .type = type::kLogical, .slot = &Data::create_prompt},
    {.name = "FileMustExist", .type = type::kLogical, .slot = &Data::file_must_exist},
    {.name = "OverwritePrompt", .type = type::kLogical, .slot = &Data::overwrite_prompt},
    {.name = "PathMustExist", .type = type::kLogical, .slot = &Data::path_must_exist},
    {.name = "KeepCurrentDir", .type = type::kLogical, .slot = &Data::keep_current_dir},
    {.name = "FontColor", .type = type::kColor, .slot = &Data::font_color},
    {.name = "FontBold", .type = type::kLogical, .slot = &Data::font_bold},
    {.name = "FontItalic", .type = type::kLogical, .slot = &Data::font_italic},
    {.name = "FontStrikeOut", .type = type::kLogical, .slot = &Data::font_strike_out},
    {.name = "FontUnderline", .type = type::kLogical, .slot = &Data::font_underline},
    {.name = "FontName", .type = type::kText, .slot = &Data::font_name},
    {.name = "FontSize", .type = type::kInteger, .slot = &Data::font_size, .range = {0, INT32_MAX}},
    {.name = "HelpFile", .type = type::kFileName, .slot = &Data::help_file},
    {.name = "HelpCommand", .type = type::kPickList, .slot = &Data::help_command, .range = {0, 5}},
    {.name = "HelpContext", .type = type::kInteger, .slot = &Data::help_context},
};

}  // namespace

const PropertyTable<CommonDialogUnit, CommonDialogClassData>& CommonDialogUnit::Properties() {
  static constexpr PropertyTable<CommonDialogUnit, CommonDialogClassData> table(kRows);
  return table;
}

UnitClass CommonDialogClass() {
  return MakeUnitClass<CommonDialogUnit>({0x0001001F, "通用对话框", "CommonDlg", {}});
}

bool OpenCommonDialog(forms::FormId form, forms::UnitId unit) {
  auto* dialog =
      dynamic_cast<CommonDialogUnit*>(forms::FormsRuntime::Instance().UnitWindow(form, unit));
  return dialog != nullptr && dialog->Open();
}

}  // namespace units
