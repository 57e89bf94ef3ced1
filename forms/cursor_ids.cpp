#include "forms/cursor_ids.h"

#include <cstring>

#include "platform/gui/cursors.h"

namespace forms {

namespace {
constexpr int32_t kIds[15] = {0,     32512, 32515, 32513, 32514, 32651, 32650, 32648,
                              32646, 32643, 32645, 32642, 32644, 32516, 32649};

int32_t FirstWord(std::span<const uint8_t> bytes) {
  int32_t word = 0;
  std::memcpy(&word, bytes.data(), 4);
  return word;
}

std::vector<uint8_t> WithFirstWord(std::span<const uint8_t> bytes, int32_t word) {
  std::vector<uint8_t> out(bytes.begin(), bytes.end());
  std::memcpy(out.data(), &word, 4);
  return out;
}
}  // namespace

int32_t CursorIdOfIndex(int32_t index) { return index >= 0 && index < 15 ? kIds[index] : index; }

int32_t CursorIndexOfId(int32_t id) {
  for (int32_t index = 1; index < 15; ++index) {
    if (kIds[index] == id) return index;
  }
  return id;
}

std::vector<uint8_t> MapCursorBytesToStored(std::span<const uint8_t> bytes) {
  if (bytes.size() < 4) return {bytes.begin(), bytes.end()};
  return WithFirstWord(bytes, CursorIdOfIndex(FirstWord(bytes)));
}

std::vector<uint8_t> MapCursorBytesToIndex(std::span<const uint8_t> bytes) {
  if (bytes.size() < 4) return {bytes.begin(), bytes.end()};
  return WithFirstWord(bytes, CursorIndexOfId(FirstWord(bytes)));
}

std::optional<QCursor> MakeUnitCursor(std::span<const uint8_t> bytes) {
  if (bytes.empty()) return std::nullopt;
  const int32_t name = bytes.size() < 4 ? bytes[0] : FirstWord(bytes);
  if (name == -1) return gui::CursorFromFile(bytes.subspan(4));
  if (bytes.size() > 10) {
    if (auto from_file = gui::CursorFromFile(bytes)) return from_file;
  }
  const int32_t id = CursorIdOfIndex(name);
  if (id == 0) return std::nullopt;
  return gui::SystemCursor(id);
}

}  // namespace forms
