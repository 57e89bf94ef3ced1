#pragma once

#include <string>
#include <string_view>
#include <vector>

// The file of words an author wants to avoid (a platform's list of sensitive words, say), as
// the publishing check reads it.

namespace publishing {

// The words of a word-list file, one a line, in file order.
//  - Encoding: UTF-16 when the file starts with its byte-order mark (FF FE or FE FF; a last odd
//    byte is dropped); UTF-8 when it starts with EF BB BF or is valid UTF-8 as a whole; GBK
//    (GB18030, via platform::GbkToUtf16) otherwise. A short GBK file that happens to be valid
//    UTF-8 is read as UTF-8: the desk writes its lists in UTF-8.
//  - Lines as ForEachLine splits them, trimmed of blanks; empty lines and lines starting with
//    "#" (comments) are skipped; a word met again is dropped.
// Never fails: bytes that cannot be decoded become U+FFFD.
std::vector<std::u16string> ReadAvoidWordList(std::string_view file_bytes);

}  // namespace publishing
