#pragma once

#include "forms/form_ids.h"
#include "units/unit_classes.h"

namespace units {

// "通用对话框" / CommonDlg: 8 base properties and 22 of its own; create, write, save
// state, read and visit texts.
UnitClass CommonDialogClass();

// The common dialog's `Open` method: runs the dialog of the unit `unit` of `form`. False
// when the reference names no live common dialog.
bool OpenCommonDialog(forms::FormId form, forms::UnitId unit);

}  // namespace units
