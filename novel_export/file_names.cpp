#include "novel_export/file_names.h"

#include <QStringList>
#include <cassert>

namespace novel_export {
namespace {

// The full-width form of a character Windows refuses in names, or 0.
char16_t FullWidthFor(char16_t c) {
  switch (c) {
    case u'\\':
    case u'/':
    case u':':
    case u'*':
    case u'?':
    case u'"':
    case u'<':
    case u'>':
    case u'|':
      return static_cast<char16_t>(c - 0x20 + 0xFF00);  // the Halfwidth and Fullwidth Forms block
    default:
      return 0;
  }
}

bool IsControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

int Utf8Bytes(char32_t c) { return c < 0x80 ? 1 : c < 0x800 ? 2 : c < 0x10000 ? 3 : 4; }

bool IsReservedDeviceName(QStringView name) {
  static const QStringList kReserved = [] {
    QStringList names = {QStringLiteral("CON"),    QStringLiteral("PRN"),
                         QStringLiteral("AUX"),    QStringLiteral("NUL"),
                         QStringLiteral("CONIN$"), QStringLiteral("CONOUT$")};
    // Windows also keeps the superscript digits ¹ ² ³ after COM and LPT.
    for (const QChar digit : QStringView(u"0123456789\u00B9\u00B2\u00B3")) {
      names << QStringLiteral("COM") + digit << QStringLiteral("LPT") + digit;
    }
    return names;
  }();
  return kReserved.contains(name.toString(), Qt::CaseInsensitive);
}

bool IsDotOrBlank(QChar c) { return c == u'.' || c.isSpace(); }

// SafeFileStem without its care for device names.
QString CleanStem(QStringView name, int most_characters, int most_bytes) {
  QString safe;
  safe.reserve(name.size());
  for (qsizetype at = 0; at < name.size(); ++at) {
    const QChar c = name[at];
    if (c.isHighSurrogate() && at + 1 < name.size() && name[at + 1].isLowSurrogate()) {
      safe += c;
      safe += name[++at];
    } else if (c.isSurrogate()) {
      continue;
    } else if (IsControl(c.unicode())) {
      safe += u' ';
    } else if (const char16_t wide = FullWidthFor(c.unicode())) {
      safe += QChar(wide);
    } else {
      safe += c;
    }
  }
  qsizetype start = 0;
  while (start < safe.size() && (safe[start].isSpace() || safe[start] == u'.')) ++start;
  safe.remove(0, start);
  // Cut by code points, then drop what Windows would drop at the end.
  qsizetype end = 0;
  for (int characters = 0, bytes = 0; end < safe.size(); ++characters) {
    const bool pair = safe[end].isHighSurrogate();
    const char32_t code =
        pair ? QChar::surrogateToUcs4(safe[end], safe[end + 1]) : safe[end].unicode();
    bytes += Utf8Bytes(code);
    if (characters + 1 > most_characters || bytes > most_bytes) break;
    end += pair ? 2 : 1;
  }
  safe.truncate(end);
  while (!safe.isEmpty() && IsDotOrBlank(safe.back())) safe.chop(1);
  return safe;
}

}  // namespace

QString SafeFileStem(QStringView name, int most_characters, int most_bytes) {
  QString safe = CleanStem(name, most_characters, most_bytes);
  // The device names count with any extension and with blanks before it: "con .txt".
  const qsizetype dot = safe.indexOf(u'.');
  qsizetype device_end = dot < 0 ? safe.size() : dot;
  while (device_end > 0 && safe[device_end - 1].isSpace()) --device_end;
  if (IsReservedDeviceName(QStringView(safe).first(device_end))) safe.insert(device_end, u'_');
  return safe;
}

QString NumberedFileName(size_t index, size_t count, QStringView name, QStringView extension) {
  assert(index < count);
  const int width = std::max(4, static_cast<int>(QString::number(count).size()));
  const QString number = QStringLiteral("%1").arg(index + 1, width, 10, QLatin1Char('0'));
  // After the number no name is a device's.
  const QString stem = CleanStem(name, kMostStemCharacters - width - 1, kMostStemBytes - width - 1);
  QString file = number;
  if (!stem.isEmpty()) file += u' ' + stem;
  return file.append(extension);
}

}  // namespace novel_export
