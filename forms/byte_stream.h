#pragma once

#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <vector>

namespace forms {

// Whether a class-data layout version reads: every version up to the class's highest,
// 0 being the oldest layout (read as 1); a higher one, or one that is negative (above any
// highest as an unsigned word), is refused.
inline bool ReadableVersion(int32_t version, int32_t highest) {
  return version >= 0 && version <= highest;
}

// Reads little-endian words, lengths-prefixed texts and NUL-terminated strings from a
// byte block. A read past the end sets the failed state and gives zeros; callers check
// `Failed()` once at the end instead of after every field.
class ByteReader {
 public:
  explicit ByteReader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  int32_t Int32() {
    uint8_t raw[4] = {};
    Take(raw, 4);
    int32_t value;
    std::memcpy(&value, raw, 4);
    return value;
  }
  uint32_t UInt32() { return static_cast<uint32_t>(Int32()); }

  // `count` raw bytes; a negative or too large count fails.
  std::vector<uint8_t> Bytes(int64_t count) {
    if (count < 0 || static_cast<uint64_t>(count) > Remaining()) {
      failed_ = true;
      return {};
    }
    std::vector<uint8_t> out(bytes_.begin() + static_cast<ptrdiff_t>(position_),
                             bytes_.begin() + static_cast<ptrdiff_t>(position_ + count));
    position_ += static_cast<size_t>(count);
    return out;
  }
  std::span<const uint8_t> View(int64_t count) {
    if (count < 0 || static_cast<uint64_t>(count) > Remaining()) {
      failed_ = true;
      return {};
    }
    auto view = bytes_.subspan(position_, static_cast<size_t>(count));
    position_ += static_cast<size_t>(count);
    return view;
  }

  // A 32-bit length, then that many bytes.
  std::vector<uint8_t> LengthPrefixedBytes() { return Bytes(Int32()); }
  std::string Text() {
    const std::vector<uint8_t> bytes = LengthPrefixedBytes();
    return std::string(bytes.begin(), bytes.end());
  }
  // Bytes up to a NUL, which is consumed; a missing NUL fails.
  std::string String() {
    const uint8_t* start = bytes_.data() + position_;
    const void* nul = std::memchr(start, 0, Remaining());
    if (nul == nullptr) {
      failed_ = true;
      position_ = bytes_.size();
      return {};
    }
    const size_t length = static_cast<const uint8_t*>(nul) - start;
    std::string out(reinterpret_cast<const char*>(start), length);
    position_ += length + 1;
    return out;
  }

  size_t Remaining() const { return bytes_.size() - position_; }
  size_t Position() const { return position_; }
  bool AtEnd() const { return position_ == bytes_.size(); }
  bool Failed() const { return failed_; }
  void Fail() { failed_ = true; }

 private:
  void Take(uint8_t* out, size_t count) {
    if (count > Remaining()) {
      failed_ = true;
      position_ = bytes_.size();
      return;
    }
    std::memcpy(out, bytes_.data() + position_, count);
    position_ += count;
  }

  std::span<const uint8_t> bytes_;
  size_t position_ = 0;
  bool failed_ = false;
};

// The matching writer.
class ByteWriter {
 public:
  void Int32(int32_t value) {
    uint8_t raw[4];
    std::memcpy(raw, &value, 4);
    bytes_.insert(bytes_.end(), raw, raw + 4);
  }
  void UInt32(uint32_t value) { Int32(static_cast<int32_t>(value)); }
  void Bytes(std::span<const uint8_t> bytes) { bytes_.insert(bytes_.end(), bytes.begin(), bytes.end()); }
  void LengthPrefixedBytes(std::span<const uint8_t> bytes) {
    Int32(static_cast<int32_t>(bytes.size()));
    Bytes(bytes);
  }
  void Text(const std::string& text) {
    LengthPrefixedBytes({reinterpret_cast<const uint8_t*>(text.data()), text.size()});
  }
  void String(const std::string& text) {
    bytes_.insert(bytes_.end(), text.begin(), text.end());
    bytes_.push_back(0);
  }

  std::vector<uint8_t>& Data() { return bytes_; }
  size_t Size() const { return bytes_.size(); }

 private:
  std::vector<uint8_t> bytes_;
};

}  // namespace forms
