#pragma once

#include <QString>
#include <cstdint>
#include <optional>
#include <string_view>

// The encodings a novel written elsewhere comes in, as one TXT file: GBK/GB18030 from older
// Windows programs, UTF-8 (with or without a byte order mark) or UTF-16 with its mark from newer
// ones. A file is read whole into memory (up to about 50 MB) and handed here as bytes.

namespace novel_import {

enum class Encoding { kUtf8, kUtf8Bom, kUtf16Le, kUtf16Be, kGb18030 };

// Every encoding, in the order the import window lists them.
inline constexpr Encoding kEncodings[] = {Encoding::kUtf8, Encoding::kUtf8Bom, Encoding::kUtf16Le,
                                          Encoding::kUtf16Be, Encoding::kGb18030};

// What DetectEncoding makes of a file: an encoding, or nullopt with the reason in Chinese for
// the author in `refusal`.
struct Detection {
  std::optional<Encoding> encoding;
  QString refusal;
  // A refused file that may still be text (its encoding could not be told, or it looks like
  // UTF-16 without a mark): the author may read it in an encoding of their choosing. False for
  // an empty file and for one with NUL bytes that is not UTF-16.
  bool forcible = false;
};

// The encoding of a whole file, decided in this order:
//   1. a byte order mark: EF BB BF is UTF-8 (kUtf8Bom), FF FE UTF-16 LE, FE FF UTF-16 BE. A
//      UTF-16 text holding U+0000 is refused as not text.
//   2. no NUL byte may appear in the rest: "文件不是文本（含有 NUL 字节）"; or, when the file
//      reads as UTF-16 (an even length, no U+0000) with its line breaks as units of one byte
//      order, it is refused as UTF-16 without a mark, which cannot be told reliably (forcible).
//   3. valid UTF-8 (pure ASCII included) is kUtf8. A multi-byte sequence cut off by the end of
//      the file does not count against it: a file cut short is still the author's.
//   4. valid GB18030 (which holds GBK) is kGb18030, again allowing a cut-off last character.
//      The lone byte 0x80 is "€", as code page 936 has it.
// A file that is neither may still have a few damaged sequences: it is read in whichever of the
// two has fewer (UTF-8 on a tie) when that is at most kFewUndecodable or one per 10,000 bytes,
// whichever is more. Otherwise it is refused: "无法识别文件的编码（既不是 UTF-8，也不是
// GBK/GB18030）" (forcible). An empty file (or one that is a byte order mark and nothing
// more) is refused: "文件是空的".
Detection DetectEncoding(std::string_view bytes);

inline constexpr int64_t kFewUndecodable = 8;

// "UTF-8", "UTF-8（带 BOM）", "UTF-16 LE", "UTF-16 BE", "GBK/GB18030".
QString EncodingName(Encoding encoding);

// `bytes` read as `encoding`, whatever DetectEncoding said (the author may choose another):
//   - a byte order mark at the start is dropped (for UTF-8 in either UTF-8 choice), and so is a
//     U+FEFF that starts the decoded text in any encoding;
//   - each sequence that cannot be decoded becomes one U+FFFD: a maximal invalid UTF-8
//     subsequence, a lone UTF-16 surrogate, a GB18030 lead byte with its trail byte when that
//     is in the trail range (otherwise the lead byte alone, so an ASCII byte after it
//     survives), and a character cut off by the end of the file (an odd last byte of UTF-16
//     included). Their number is stored in *undecodable when it is not null;
//   - line breaks become "\n": CR LF and a lone CR alike.
QString Decode(std::string_view bytes, Encoding encoding, int64_t* undecodable);

}  // namespace novel_import
