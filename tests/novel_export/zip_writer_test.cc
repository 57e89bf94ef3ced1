#include "novel_export/zip_writer.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <random>

#include "tests/novel_export/zip_listing.h"

namespace novel_export {
namespace {

using novel_export_tests::ListZip;
using novel_export_tests::RunTool;
using novel_export_tests::StoredBytes;
using novel_export_tests::ZipEntry;

// The CRC one bit at a time, as the ZIP format describes it: the check of the table-driven one.
uint32_t BitwiseCrc32(QByteArrayView bytes) {
  uint32_t crc = 0xFFFFFFFF;
  for (const char byte : bytes) {
    crc ^= static_cast<uint8_t>(byte);
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  return ~crc;
}

QByteArray RandomBytes(qsizetype size, uint32_t seed) {
  std::mt19937 random(seed);
  QByteArray bytes(size, Qt::Uninitialized);
  for (char& byte : bytes) byte = static_cast<char>(random());
  return bytes;
}

std::vector<ZipEntry> Listed(const QByteArray& zip) {
  QString fault;
  std::optional<std::vector<ZipEntry>> entries = ListZip(zip, &fault);
  EXPECT_TRUE(entries.has_value()) << fault.toStdString();
  return entries.value_or(std::vector<ZipEntry>{});
}

TEST(Crc32, MatchesTheCheckValueAndTheBitwiseFormAtEveryTailLength) {
  EXPECT_EQ(Crc32(""), 0u);
  EXPECT_EQ(Crc32("123456789"), 0xCBF43926u);  // the standard check value
  EXPECT_EQ(Crc32("6789", Crc32("12345")), 0xCBF43926u);
  const QByteArray bytes = RandomBytes(4096 + 7, 1);
  // Every remainder of the four-byte steps, and starts that are not aligned.
  for (qsizetype start = 0; start < 4; ++start) {
    for (qsizetype length : {0, 1, 2, 3, 4, 5, 7, 8, 31, 4096}) {
      const QByteArrayView piece = QByteArrayView(bytes).sliced(start, length);
      EXPECT_EQ(Crc32(piece), BitwiseCrc32(piece)) << start << " " << length;
    }
  }
}

TEST(ZipWriter, EntriesAreListedInOrderWithTheirMethodSizesAndChecksums) {
  const QByteArray text = QString(2000, u'字').toUtf8() + "repeated text repeated text";
  const QByteArray noise = RandomBytes(3000, 2);
  const struct {
    const char* name;
    QByteArray bytes;
    ZipWriter::Method method;
    uint16_t written_as;
  } cases[] = {
      {"mimetype", "application/epub+zip", ZipWriter::Method::kStored, kMethodStored},
      {"OEBPS/text/c0001.xhtml", text, ZipWriter::Method::kDeflated, kMethodDeflated},
      // Deflating would not make these smaller: stored instead.
      {"OEBPS/cover.png", noise, ZipWriter::Method::kDeflated, kMethodStored},
      {"empty", QByteArray(), ZipWriter::Method::kDeflated, kMethodStored},
  };
  ZipWriter writer(QDateTime(QDate(2024, 6, 11), QTime(8, 30, 15)));
  for (const auto& c : cases) writer.Add(c.name, c.bytes, c.method);
  QString error;
  const QByteArray zip = writer.Finish(&error);
  EXPECT_TRUE(error.isEmpty());
  const std::vector<ZipEntry> entries = Listed(zip);
  ASSERT_EQ(entries.size(), std::size(cases));
  for (size_t i = 0; i < entries.size(); ++i) {
    SCOPED_TRACE(cases[i].name);
    EXPECT_EQ(entries[i].name, cases[i].name);
    EXPECT_EQ(entries[i].method, cases[i].written_as);
    EXPECT_EQ(entries[i].size, static_cast<uint32_t>(cases[i].bytes.size()));
    EXPECT_EQ(entries[i].crc, BitwiseCrc32(cases[i].bytes));
    if (cases[i].written_as == kMethodStored) {
      EXPECT_EQ(StoredBytes(zip, entries[i]), cases[i].bytes);
    } else {
      EXPECT_LT(entries[i].compressed_size, entries[i].size);
    }
  }
  // The first entry's name and bytes at the offsets a reader looks at without unpacking.
  EXPECT_EQ(zip.mid(kLocalHeaderSize, 8), "mimetype");
  EXPECT_EQ(zip.mid(kLocalHeaderSize + 8, 20), "application/epub+zip");

  // An unzip tool of its own reads every entry back, the deflated one included.
  QTemporaryDir folder;
  const QString path = folder.filePath(QStringLiteral("test.zip"));
  ASSERT_TRUE(novel_export_tests::WriteBytes(path, zip));
  const std::optional<novel_export_tests::ToolRun> test = RunTool("unzip", {"-t", path});
  if (!test) GTEST_SKIP() << "unzip is not installed: the archive is not read by a ZIP tool";
  EXPECT_EQ(test->exit_code, 0) << test->output.toStdString();
  const std::optional<novel_export_tests::ToolRun> text_back =
      RunTool("unzip", {"-p", path, "OEBPS/text/c0001.xhtml"});
  ASSERT_TRUE(text_back);
  EXPECT_EQ(text_back->output.toUtf8(), text);
}

TEST(ZipWriter, TimesAreKeptInDosFormWithinItsYears) {
  const auto dos = [](int year, int month, int day, int hour, int minute, int second) {
    return std::pair<uint16_t, uint16_t>(
        static_cast<uint16_t>(hour << 11 | minute << 5 | second / 2),
        static_cast<uint16_t>((year - 1980) << 9 | month << 5 | day));
  };
  const struct {
    QDateTime modified;
    std::pair<uint16_t, uint16_t> time_and_date;
  } cases[] = {
      {QDateTime(QDate(2024, 6, 11), QTime(8, 30, 15)), dos(2024, 6, 11, 8, 30, 14)},
      {QDateTime(QDate(1980, 1, 1), QTime(0, 0, 0)), dos(1980, 1, 1, 0, 0, 0)},
      {QDateTime(QDate(1970, 1, 1), QTime(12, 0, 0)), dos(1980, 1, 1, 0, 0, 0)},
      {QDateTime(QDate(2200, 1, 1), QTime(12, 0, 0)), dos(2107, 12, 31, 23, 59, 58)},
      {QDateTime(), dos(1980, 1, 1, 0, 0, 0)},
      // A time in UTC is written as this machine's clock shows it.
      {QDateTime(QDate(2024, 6, 11), QTime(8, 30, 0)).toUTC(), dos(2024, 6, 11, 8, 30, 0)},
  };
  for (const auto& c : cases) {
    ZipWriter writer(c.modified);
    writer.Add("a", "b", ZipWriter::Method::kStored);
    const std::vector<ZipEntry> entries = Listed(writer.Finish(nullptr));
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(std::make_pair(entries[0].time, entries[0].date), c.time_and_date)
        << c.modified.toString(Qt::ISODate).toStdString();
  }
}

TEST(ZipWriter, MoreEntriesThanTheDirectoryCountsAreRefusedNotWrapped) {
  for (const size_t count : {kMostEntries, kMostEntries + 1}) {
    ZipWriter writer(QDateTime(QDate(2024, 1, 1), QTime(0, 0)));
    for (size_t i = 0; i < count; ++i) {
      writer.Add(QByteArray::number(static_cast<qulonglong>(i)), "", ZipWriter::Method::kStored);
    }
    QString error;
    const QByteArray zip = writer.Finish(&error);
    if (count == kMostEntries) {
      EXPECT_EQ(Listed(zip).size(), kMostEntries);
      EXPECT_TRUE(error.isEmpty());
    } else {
      EXPECT_TRUE(zip.isEmpty());
      EXPECT_FALSE(error.isEmpty());
    }
  }
}

}  // namespace
}  // namespace novel_export
