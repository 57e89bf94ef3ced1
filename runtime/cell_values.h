#pragma once

#include <cstdint>
#include <span>

#include "runtime/arg_cell.h"

namespace runtime {

// A cell's value as a 32-bit integer: bytes zero-extended, short integers sign-extended,
// long integers by their low word, single and double truncated toward zero. Any other
// type is a runtime error ("欲转换数据类型不是数值").
int32_t CellToInt32(const ArgCell& cell);

// A cell's value as a condition: a logical gives its word; a sub-statement is evaluated
// now and must give a logical. Anything else is a runtime error.
bool CellToCondition(const ArgCell& cell);

// A date-time as it is stored: clamped to the days of the years 100 to 9999.
double ClampDateTime(double days);

// A copy of the cell's value as it is assigned to a variable of its type: a logical
// becomes 0 or 1, a date-time is clamped, a text or byte set gets a new block (a text up
// to its NUL or `max_text_length` bytes, whichever comes first). The caller owns the
// copied block.
ArgCell CopyCellValue(const ArgCell& cell, int32_t max_text_length = INT32_MAX);

// The bytes that stand for a cell when it is written to a file or a byte set: the payload
// of a numeric, logical, date-time, routine or sub-statement cell; a text's bytes with its
// NUL; a byte set's bytes. Nothing for any other type. The span may point into `cell`.
std::span<const uint8_t> CellBytes(const ArgCell& cell);

}  // namespace runtime
