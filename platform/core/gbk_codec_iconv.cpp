#include <iconv.h>

#include <bit>

#include "platform/core/gbk_codec.h"

namespace platform::gbk_codec {
namespace {

// One iconv descriptor per direction and thread: descriptors carry shift state and must not be
// shared between threads, and opening one per call is needlessly slow.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (Valid()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool Valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
  iconv_t Get() {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // back to the initial state
    return cd_;
  }

 private:
  iconv_t cd_;
};

constexpr const char* kUtf32 = std::endian::native == std::endian::little ? "UTF-32LE" : "UTF-32BE";

// Runs the converter over `in` into `out` (which has room for everything) until the end or the
// first sequence it cannot convert; returns the input bytes consumed.
size_t Convert(Converter& converter, const char* in, size_t in_size, char* out, size_t* out_size) {
  if (!converter.Valid()) {
    *out_size = 0;
    return 0;
  }
  char* in_ptr = const_cast<char*>(in);
  size_t in_left = in_size;
  char* out_ptr = out;
  size_t out_left = *out_size;
  // An invalid sequence (EILSEQ) or a truncated one at the end (EINVAL) stops iconv there.
  iconv(converter.Get(), &in_ptr, &in_left, &out_ptr, &out_left);
  *out_size = static_cast<size_t>(out_ptr - out);
  return in_size - in_left;
}

}  // namespace

size_t DecodePrefix(std::string_view gbk, std::u32string& out) {
  thread_local Converter decoder(kUtf32, "GB18030");
  const size_t before = out.size();
  // Every code point consumes at least one input byte, so the input length bounds the output.
  out.resize(before + gbk.size());
  size_t out_bytes = gbk.size() * sizeof(char32_t);
  const size_t consumed = Convert(decoder, gbk.data(), gbk.size(),
                                  reinterpret_cast<char*>(out.data() + before), &out_bytes);
  out.resize(before + out_bytes / sizeof(char32_t));
  return consumed;
}

size_t EncodePrefix(std::u32string_view text, std::string& out) {
  thread_local Converter encoder("GB18030", kUtf32);
  const size_t before = out.size();
  out.resize(before + text.size() * 4);  // GB18030 needs at most 4 bytes per code point
  size_t out_bytes = text.size() * 4;
  const size_t consumed = Convert(encoder, reinterpret_cast<const char*>(text.data()),
                                  text.size() * sizeof(char32_t), out.data() + before, &out_bytes);
  out.resize(before + out_bytes);
  return consumed / sizeof(char32_t);
}

}  // namespace platform::gbk_codec
