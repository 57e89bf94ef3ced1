#include "writing_history/json_reader.h"

#include <cmath>
#include <cstdlib>

namespace writing_history {

namespace {

constexpr int kDeepestNesting = 64;

class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  std::optional<JsonValue> Document() {
    JsonValue value;
    if (!Value(&value, 0)) return std::nullopt;
    SkipBlanks();
    if (at_ != text_.size()) return std::nullopt;
    return value;
  }

 private:
  void SkipBlanks() {
    while (at_ < text_.size() &&
           (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\n' || text_[at_] == '\r'))
      ++at_;
  }

  bool Take(char expected) {
    SkipBlanks();
    if (at_ < text_.size() && text_[at_] == expected) {
      ++at_;
      return true;
    }
    return false;
  }

  bool Word(std::string_view word) {
    if (text_.substr(at_, word.size()) != word) return false;
    at_ += word.size();
    return true;
  }

  bool Value(JsonValue* value, int depth) {
    if (depth > kDeepestNesting) return false;
    SkipBlanks();
    if (at_ >= text_.size()) return false;
    switch (text_[at_]) {
      case '{': return Object(value, depth);
      case '[': return Array(value, depth);
      case '"': value->kind = JsonValue::Kind::kString; return String(&value->string);
      case 't': value->kind = JsonValue::Kind::kBool; value->boolean = true; return Word("true");
      case 'f': value->kind = JsonValue::Kind::kBool; return Word("false");
      case 'n': return Word("null");
      default: return Number(value);
    }
  }

  bool Object(JsonValue* value, int depth) {
    value->kind = JsonValue::Kind::kObject;
    ++at_;
    if (Take('}')) return true;
    do {
      SkipBlanks();
      std::string name;
      if (at_ >= text_.size() || text_[at_] != '"' || !String(&name) || !Take(':')) return false;
      JsonValue member;
      if (!Value(&member, depth + 1)) return false;
      value->object[name] = std::move(member);
    } while (Take(','));
    return Take('}');
  }

  bool Array(JsonValue* value, int depth) {
    value->kind = JsonValue::Kind::kArray;
    ++at_;
    if (Take(']')) return true;
    do {
      JsonValue element;
      if (!Value(&element, depth + 1)) return false;
      value->array.push_back(std::move(element));
    } while (Take(','));
    return Take(']');
  }

  bool Number(JsonValue* value) {
    // JSON's grammar: -?(0|[1-9][0-9]*)(\.[0-9]+)?([eE][+-]?[0-9]+)?
    const size_t start = at_;
    auto digits = [&] {
      const size_t first = at_;
      while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9') ++at_;
      return at_ > first;
    };
    if (at_ < text_.size() && text_[at_] == '-') ++at_;
    if (at_ < text_.size() && text_[at_] == '0') {
      ++at_;
    } else if (!digits()) {
      return false;
    }
    if (at_ < text_.size() && text_[at_] == '.' && (++at_, !digits())) return false;
    if (at_ < text_.size() && (text_[at_] == 'e' || text_[at_] == 'E')) {
      ++at_;
      if (at_ < text_.size() && (text_[at_] == '+' || text_[at_] == '-')) ++at_;
      if (!digits()) return false;
    }
    value->kind = JsonValue::Kind::kNumber;
    value->number = std::strtod(std::string(text_.substr(start, at_ - start)).c_str(), nullptr);
    return std::isfinite(value->number);
  }

  static void AppendUtf8(uint32_t code, std::string* out) {
    if (code < 0x80) {
      out->push_back(static_cast<char>(code));
    } else if (code < 0x800) {
      out->push_back(static_cast<char>(0xC0 | (code >> 6)));
      out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
      out->push_back(static_cast<char>(0xE0 | (code >> 12)));
      out->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
      out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
      out->push_back(static_cast<char>(0xF0 | (code >> 18)));
      out->push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
      out->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
      out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
  }

  bool Hex4(uint32_t* code) {
    if (at_ + 4 > text_.size()) return false;
    *code = 0;
    for (int i = 0; i < 4; ++i) {
      const char c = text_[at_++];
      const int digit = c >= '0' && c <= '9'   ? c - '0'
                        : c >= 'a' && c <= 'f' ? c - 'a' + 10
                        : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                               : -1;
      if (digit < 0) return false;
      *code = *code * 16 + static_cast<uint32_t>(digit);
    }
    return true;
  }

  // Requires: text_[at_] is the opening quote.
  bool String(std::string* out) {
    ++at_;
    while (at_ < text_.size()) {
      const char c = text_[at_++];
      if (c == '"') return true;
      if (static_cast<unsigned char>(c) < 0x20) return false;
      if (c != '\\') {
        out->push_back(c);
        continue;
      }
      if (at_ >= text_.size()) return false;
      const char escape = text_[at_++];
      switch (escape) {
        case '"': case '\\': case '/': out->push_back(escape); break;
        case 'b': out->push_back('\b'); break;
        case 'f': out->push_back('\f'); break;
        case 'n': out->push_back('\n'); break;
        case 'r': out->push_back('\r'); break;
        case 't': out->push_back('\t'); break;
        case 'u': {
          uint32_t code = 0;
          if (!Hex4(&code)) return false;
          // A surrogate pair names one character; a half alone is no character.
          if (code >= 0xD800 && code < 0xDC00) {
            uint32_t low = 0;
            if (!Word("\\u") || !Hex4(&low) || low < 0xDC00 || low >= 0xE000) return false;
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
          } else if (code >= 0xDC00 && code < 0xE000) {
            return false;
          }
          AppendUtf8(code, out);
          break;
        }
        default: return false;
      }
    }
    return false;
  }

  std::string_view text_;
  size_t at_ = 0;
};

}  // namespace

const JsonValue* JsonValue::Member(const std::string& name) const {
  if (kind != Kind::kObject) return nullptr;
  const auto found = object.find(name);
  return found == object.end() ? nullptr : &found->second;
}

std::optional<int64_t> JsonValue::Integer() const {
  constexpr double kLargestExact = 9007199254740992.0;  // 2^53
  if (kind != Kind::kNumber || std::trunc(number) != number || std::fabs(number) > kLargestExact)
    return std::nullopt;
  return static_cast<int64_t>(number);
}

std::optional<JsonValue> ParseJson(std::string_view text) { return Reader(text).Document(); }

}  // namespace writing_history
