#pragma once

#include <cstdint>
#include <span>

#include "forms/form_ids.h"
#include "runtime/arg_cell.h"

namespace units {

// The tree box's methods as the application's routines call them: the tree box by its
// form and unit, then the method's own arguments as argument cells. An optional argument
// that is left out arrives as a cell of type kNoValue, or is missing from the end. A unit
// reference that names no live tree box does nothing (AddItem answers -1, the others false
// or 0); an argument of the wrong type is runtime error 11.

// Arguments: parent ItemIndex (optional: top level), text or one-dimensional array of
// texts, picture (optional, 0; negative 0), selected picture (optional, the picture;
// negative the picture), item data (optional, 0), bold (optional logical), check state
// (optional integer). Bold and check state count only when all seven are passed. With an
// array of texts the other arguments may be arrays too (element i for item i, the last
// element for the rest). Gives the new item's ItemIndex; 0 for an array of texts; -1 for a
// text array of more than one dimension (nothing is added).
int32_t TreeBoxAddItem(forms::FormId form, forms::UnitId unit,
                       std::span<const runtime::ArgCell> args);

// Arguments: ItemIndex, text. False when the index names no item.
bool TreeBoxSetItemText(forms::FormId form, forms::UnitId unit,
                        std::span<const runtime::ArgCell> args);

// The number of items in the whole tree.
int32_t TreeBoxGetItemCount(forms::FormId form, forms::UnitId unit);

// Arguments: ItemIndex. Removes the item with its children; false when the index names no
// item.
bool TreeBoxDeleteItem(forms::FormId form, forms::UnitId unit,
                       std::span<const runtime::ArgCell> args);

}  // namespace units
