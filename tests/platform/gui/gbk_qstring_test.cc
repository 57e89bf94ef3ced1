// The GBK decoder of Qt strings walks a table for the two-byte characters and leaves the rest
// to the platform's converter: whatever the bytes, it must read them as the converter does.
#include "platform/gui/gbk_qstring.h"

#include <gtest/gtest.h>

#include <random>

#include "platform/core/code_page.h"

namespace {

QString ByConverter(std::string_view gbk) {
  return QString::fromStdU16String(platform::GbkToUtf16(gbk));
}

TEST(GbkQString, EveryTwoByteSequenceReadsAsTheConverterReadsIt) {
  for (int lead = 0x80; lead <= 0xFF; ++lead) {
    for (int trail = 0; trail <= 0xFF; ++trail) {
      // Between ASCII neighbours, and as the last bytes of the text.
      const std::string pair{static_cast<char>(lead), static_cast<char>(trail)};
      for (const std::string& gbk : {"a" + pair + "b", pair}) {
        ASSERT_EQ(gui::QStringOfGbk(gbk), ByConverter(gbk)) << std::hex << lead << ' ' << trail;
      }
    }
  }
}

TEST(GbkQString, FourByteAndBrokenSequencesAmongLinesReadAsTheConverterReadsThem) {
  const std::string cases[] = {
      "\x81\x30\x81\x30\xe4\xb8\n\xd6\xd0",  // a four-byte character, then a cut one before a line
      "\x95\x32\x82\x36\r\n\xb0\xa1",        // outside the basic plane (a surrogate pair)
      "\x81",                                // a lone lead byte at the end
      "\x80\xff\xfe\n\x81\x7f",              // euro, bytes no sequence starts with
      "\xd6\xd0\xce\xc4\x81\x30\n",          // a four-byte sequence cut by a line feed
  };
  for (const std::string& gbk : cases) EXPECT_EQ(gui::QStringOfGbk(gbk), ByConverter(gbk));

  // Random bytes weighted towards the high half and line feeds.
  std::mt19937 random(2026);
  for (int round = 0; round < 2000; ++round) {
    std::string gbk(random() % 64, '\0');
    for (char& byte : gbk) {
      const uint32_t pick = random() % 10;
      byte = static_cast<char>(pick == 0 ? '\n' : pick < 3 ? 0x30 + random() % 10 : random() % 256);
    }
    ASSERT_EQ(gui::QStringOfGbk(gbk), ByConverter(gbk)) << round;
  }
}

}  // namespace
