#include "database/index_keys.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <numeric>

#include "database/main_file.h"
#include "platform/core/code_page.h"

namespace database {
namespace {

constexpr int kLeads = 72;   // 0xB0 … 0xF7
constexpr int kTrails = 94;  // 0xA1 … 0xFE

const std::array<uint16_t, kLeads * kTrails>& CollationTable() {
  static const std::array<uint16_t, kLeads* kTrails> table = [] {
    std::array<uint32_t, kLeads * kTrails> code_points{};
    for (int i = 0; i < kLeads * kTrails; ++i) {
      const char gbk[2] = {static_cast<char>(0xB0 + i / kTrails),
                           static_cast<char>(0xA1 + i % kTrails)};
      const std::u32string decoded = platform::GbkToUtf32(std::string_view(gbk, 2));
      // Positions the code page leaves empty sort after every character, in table order.
      code_points[i] = decoded.size() == 1 && decoded[0] != 0xFFFD
                           ? decoded[0]
                           : 0x110000u + static_cast<uint32_t>(i);
    }
    std::array<int, kLeads * kTrails> order{};
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return code_points[a] < code_points[b]; });
    std::array<uint16_t, kLeads * kTrails> codes{};
    for (int rank = 0; rank < kLeads * kTrails; ++rank) {
      codes[order[rank]] =
          static_cast<uint16_t>((0xB0 + rank / kTrails) << 8 | (0xA1 + rank % kTrails));
    }
    return codes;
  }();
  return table;
}

void RewriteText(const KeyShape& shape, const uint8_t* value, int32_t width, uint8_t* out) {
  std::string text;
  for (int32_t i = 0; i < width && value[i] != 0; ++i) {
    const uint8_t byte = value[i];
    if (byte >= 0x81 && i + 1 < width && value[i + 1] != 0) {  // a two-byte character
      const uint8_t trail = value[i + 1];
      ++i;
      if ((shape.flags & kTextKeyNoSpaces) && byte == 0xA1 && trail == 0xA1) continue;
      if (shape.collation != 0 && byte >= 0xB0 && byte <= 0xF7 && trail >= 0xA1 && trail <= 0xFE) {
        const uint16_t code = CollationCode(byte, trail, shape.collation);
        text.push_back(static_cast<char>(code >> 8));
        text.push_back(static_cast<char>(code & 0xFF));
      } else {
        text.push_back(static_cast<char>(byte));
        text.push_back(static_cast<char>(trail));
      }
      continue;
    }
    if ((shape.flags & kTextKeyNoSpaces) && byte == ' ') continue;
    if ((shape.flags & kTextKeyUpperCase) && byte >= 'a' && byte <= 'z') {
      text.push_back(static_cast<char>(byte - 'a' + 'A'));
    } else {
      text.push_back(static_cast<char>(byte));
    }
  }
  std::memset(out, 0, static_cast<size_t>(width));
  std::memcpy(out, text.data(), std::min<size_t>(text.size(), static_cast<size_t>(width)));
}

template <typename T>
int CompareValues(const uint8_t* a, const uint8_t* b) {
  T x;
  T y;
  std::memcpy(&x, a, sizeof(T));
  std::memcpy(&y, b, sizeof(T));
  return x < y ? -1 : (y < x ? 1 : 0);
}

}  // namespace

uint16_t CollationCode(uint8_t lead, uint8_t trail, int32_t collation) {
  const uint16_t code = CollationTable()[(lead - 0xB0) * kTrails + (trail - 0xA1)];
  if (collation != 2) return code;
  // Collation 2 mirrors both bytes inside their ranges.
  const int mirrored_lead = 0xB0 + 0xF7 - (code >> 8);
  const int mirrored_trail = 0xA1 + 0xFE - (code & 0xFF);
  return static_cast<uint16_t>(mirrored_lead << 8 | mirrored_trail);
}

std::string BuildKey(const KeyShape& shape, std::span<const uint8_t> record) {
  std::string key(static_cast<size_t>(shape.length), '\0');
  auto* out = reinterpret_cast<uint8_t*>(key.data());
  for (const KeyField& field : shape.fields) {
    if (static_cast<size_t>(field.offset) + static_cast<size_t>(field.size) <= record.size()) {
      const uint8_t* value = record.data() + field.offset;
      if (field.type == kTextField && shape.RewritesText()) {
        RewriteText(shape, value, field.size, out);
      } else {
        std::memcpy(out, value, static_cast<size_t>(field.size));
      }
    }
    out += field.size;
  }
  return key;
}

int CompareKeys(const KeyShape& shape, const uint8_t* a, const uint8_t* b) {
  for (const KeyField& field : shape.fields) {
    int order = 0;
    switch (field.type) {
      case kShortField:
        order = CompareValues<int16_t>(a, b);
        break;
      case kIntField:
        order = CompareValues<int32_t>(a, b);
        break;
      case kLongField:
        order = CompareValues<int64_t>(a, b);
        break;
      case kFloatField:
        order = CompareValues<float>(a, b);
        break;
      case kDoubleField:
      case kDateTimeField:
        order = CompareValues<double>(a, b);
        break;
      case kLogicalField:
        order = int{a[0] != 0} - int{b[0] != 0};
        break;  // false first
      case kRoutineField:
        order = CompareValues<uint32_t>(a, b);
        break;
      default:
        order = std::memcmp(a, b, static_cast<size_t>(field.size));
        break;
    }
    if (order != 0) return order < 0 ? -1 : 1;
    a += field.size;
    b += field.size;
  }
  return 0;
}

}  // namespace database
