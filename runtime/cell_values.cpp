#include "runtime/cell_values.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "runtime/allocator.h"
#include "runtime/blocks.h"
#include "runtime/error_report.h"

namespace runtime {

namespace {
// Truncation toward zero. A value outside the 32-bit range (or not a number) gives
// 0x80000000, as the processor's own conversion does.
int32_t TruncateToInt32(double value) {
  if (!(value > -2147483649.0 && value < 2147483648.0)) return INT32_MIN;
  return static_cast<int32_t>(value);
}
}  // namespace

int32_t CellToInt32(const ArgCell& cell) {
  switch (cell.type) {
    case kByte: return cell.As<uint8_t>();
    case kShort: return cell.As<int16_t>();
    case kInt: return cell.As<int32_t>();
    case kLong: return static_cast<int32_t>(cell.low);
    case kFloat: return TruncateToInt32(cell.As<float>());
    case kDouble: return TruncateToInt32(cell.As<double>());
    default: ReportError(error_text::NotANumber());
  }
}

bool CellToCondition(const ArgCell& cell) {
  if (cell.type == kLogical) return cell.low != 0;
  if (cell.type == kSubStatement) {
    const auto* statement = cell.AsPointer<const SubStatement>();
    const ArgCell result = statement->code(statement->frame);
    if (result.type == kLogical) return result.low != 0;
    if (result.type == kText || result.type == kByteSet) FreeBlock(result.AsPointer<void>());
  }
  ReportError(error_text::ConditionNotLogical());
}

double ClampDateTime(double days) {
  if (std::isnan(days)) return 0.0;
  return std::clamp(days, kMinDateTime, kMaxDateTime);
}

ArgCell CopyCellValue(const ArgCell& cell, int32_t max_text_length) {
  switch (cell.type) {
    case kLogical: return ArgCell::Logical(cell.low != 0);
    case kDateTime: return ArgCell::DateTime(ClampDateTime(cell.As<double>()));
    case kText: {
      const char* text = cell.AsPointer<const char>();
      if (text == nullptr) return ArgCell::Text(nullptr);
      const size_t length = strnlen(text, static_cast<size_t>(std::max(max_text_length, 0)));
      return ArgCell::Text(MakeText(text, static_cast<int32_t>(length)));
    }
    case kByteSet: {
      const auto bytes = ByteSetBytes(cell.AsPointer<const void>());
      return ArgCell::ByteSet(MakeByteSet(bytes));
    }
    default: return cell;
  }
}

std::span<const uint8_t> CellBytes(const ArgCell& cell) {
  if (cell.type == kText) {
    const char* text = cell.AsPointer<const char>();
    if (text == nullptr) return {};
    return {reinterpret_cast<const uint8_t*>(text), std::strlen(text) + 1};
  }
  if (cell.type == kByteSet) return ByteSetBytes(cell.AsPointer<const void>());
  const bool plain_value = IsNumericType(cell.type) || cell.type == kLogical ||
                           cell.type == kDateTime || cell.type == kRoutine ||
                           cell.type == kSubStatement;
  if (!plain_value) return {};
  return {reinterpret_cast<const uint8_t*>(&cell.low), static_cast<size_t>(PayloadSize(cell.type))};
}

}  // namespace runtime
