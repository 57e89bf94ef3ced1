// An independent reading of the ZIP archives the export writes, for the tests: the central
// directory listed and checked against each local header, stored entries read back, and the
// tools the tests run on a written book (unzip, the EPUB checker) started when installed.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

namespace novel_export_tests {

struct ZipEntry {
  QByteArray name;
  uint16_t method;
  uint16_t time;
  uint16_t date;
  uint32_t crc;
  uint32_t compressed_size;
  uint32_t size;
  uint32_t local_offset;
  uint32_t data_offset;  // where the entry's bytes start
};

// The entries in central directory order; nullopt (with the fault in *fault) when the archive
// is not laid out as the writer promises: the end record last without a comment, every central
// header matching its local header, the entries back to back from offset 0 and the directory
// right after them, no extra fields, sizes and CRCs in the local headers.
std::optional<std::vector<ZipEntry>> ListZip(const QByteArray& zip, QString* fault);

// The bytes of a stored entry.
QByteArray StoredBytes(const QByteArray& zip, const ZipEntry& entry);

// The output (standard output and error together) and exit code of `program` with `arguments`;
// nullopt when the program is not installed.
struct ToolRun {
  int exit_code;
  QString output;
};
std::optional<ToolRun> RunTool(const QString& program, const QStringList& arguments);

// The EPUB checker on the book at `path`, failing on warnings too; nullopt when it is not
// installed. Debian installs it as an executable jar, which runs by itself only where the
// system hands jars to Java (binfmt_misc): it is run with "java -jar" when it is one.
std::optional<ToolRun> RunEpubCheck(const QString& path);

// Writes `bytes` to `path`; false on failure.
bool WriteBytes(const QString& path, const QByteArray& bytes);

}  // namespace novel_export_tests
