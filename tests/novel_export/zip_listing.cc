#include "tests/novel_export/zip_listing.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace novel_export_tests {
namespace {

uint32_t Read(const QByteArray& bytes, qsizetype at, int size) {
  uint32_t value = 0;
  for (int i = size - 1; i >= 0; --i) value = value << 8 | static_cast<uint8_t>(bytes[at + i]);
  return value;
}

}  // namespace

std::optional<std::vector<ZipEntry>> ListZip(const QByteArray& zip, QString* fault) {
  const auto fail = [&](const QString& why) -> std::optional<std::vector<ZipEntry>> {
    *fault = why;
    return std::nullopt;
  };
  if (zip.size() < 22) return fail(QStringLiteral("shorter than an end record"));
  const qsizetype end = zip.size() - 22;
  if (Read(zip, end, 4) != 0x06054B50) return fail(QStringLiteral("no end record at the end"));
  const uint32_t count = Read(zip, end + 10, 2);
  const uint32_t directory_size = Read(zip, end + 12, 4);
  const uint32_t directory = Read(zip, end + 16, 4);
  if (Read(zip, end + 8, 2) != count || Read(zip, end + 4, 4) != 0 || Read(zip, end + 20, 2) != 0)
    return fail(QStringLiteral("end record's disks, counts or comment"));
  if (static_cast<qsizetype>(directory) + directory_size != end)
    return fail(QStringLiteral("central directory does not end at the end record"));
  std::vector<ZipEntry> entries;
  qsizetype at = directory;
  uint32_t next_local = 0;
  for (uint32_t i = 0; i < count; ++i) {
    if (at + 46 > end || Read(zip, at, 4) != 0x02014B50)
      return fail(QStringLiteral("central header %1").arg(i));
    ZipEntry entry;
    entry.method = static_cast<uint16_t>(Read(zip, at + 10, 2));
    entry.time = static_cast<uint16_t>(Read(zip, at + 12, 2));
    entry.date = static_cast<uint16_t>(Read(zip, at + 14, 2));
    entry.crc = Read(zip, at + 16, 4);
    entry.compressed_size = Read(zip, at + 20, 4);
    entry.size = Read(zip, at + 24, 4);
    const uint32_t name_length = Read(zip, at + 28, 2);
    if (Read(zip, at + 30, 2) != 0 || Read(zip, at + 32, 2) != 0)
      return fail(QStringLiteral("central header %1 has an extra field or comment").arg(i));
    entry.local_offset = Read(zip, at + 42, 4);
    entry.name = zip.mid(at + 46, name_length);
    const qsizetype central = at;
    at += 46 + name_length;

    const qsizetype local = entry.local_offset;
    if (local != next_local || Read(zip, local, 4) != 0x04034B50)
      return fail(QStringLiteral("local header of %1").arg(QString::fromLatin1(entry.name)));
    const bool same =
        Read(zip, local + 4, 2) == Read(zip, central + 6, 2) &&
        Read(zip, local + 6, 2) == Read(zip, central + 8, 2) &&
        Read(zip, local + 8, 2) == entry.method && Read(zip, local + 10, 2) == entry.time &&
        Read(zip, local + 12, 2) == entry.date && Read(zip, local + 14, 4) == entry.crc &&
        Read(zip, local + 18, 4) == entry.compressed_size &&
        Read(zip, local + 22, 4) == entry.size && Read(zip, local + 26, 2) == name_length &&
        Read(zip, local + 28, 2) == 0 && zip.mid(local + 30, name_length) == entry.name;
    if (!same)
      return fail(QStringLiteral("local header of %1 differs from its central header")
                      .arg(QString::fromLatin1(entry.name)));
    entry.data_offset = static_cast<uint32_t>(local + 30 + name_length);
    next_local = entry.data_offset + entry.compressed_size;
    if (entry.method == 0 && entry.compressed_size != entry.size)
      return fail(
          QStringLiteral("stored entry %1 with two sizes").arg(QString::fromLatin1(entry.name)));
    entries.push_back(entry);
  }
  if (at != end || next_local != directory)
    return fail(QStringLiteral("entries and directory are not back to back"));
  return entries;
}

QByteArray StoredBytes(const QByteArray& zip, const ZipEntry& entry) {
  return zip.mid(entry.data_offset, entry.compressed_size);
}

std::optional<ToolRun> RunTool(const QString& program, const QStringList& arguments) {
  const QString path = QStandardPaths::findExecutable(program);
  if (path.isEmpty()) return std::nullopt;
  QProcess process;
  process.setProcessChannelMode(QProcess::MergedChannels);
  process.start(path, arguments);
  if (!process.waitForStarted() || !process.waitForFinished(120000)) return std::nullopt;
  return ToolRun{process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                 QString::fromUtf8(process.readAll())};
}

std::optional<ToolRun> RunEpubCheck(const QString& path) {
  const QString checker = QStandardPaths::findExecutable(QStringLiteral("epubcheck"));
  if (checker.isEmpty()) return std::nullopt;
  const QStringList arguments = {QStringLiteral("--failonwarnings"), path};
  const QString jar = QFileInfo(checker).canonicalFilePath();
  if (jar.endsWith(QStringLiteral(".jar"))) {
    return RunTool(QStringLiteral("java"), QStringList{QStringLiteral("-jar"), jar} + arguments);
  }
  return RunTool(checker, arguments);
}

bool WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

}  // namespace novel_export_tests
