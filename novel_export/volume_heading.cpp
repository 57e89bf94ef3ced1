#include "novel_export/volume_heading.h"

#include "novel_export/chapter_text.h"

namespace novel_export {
namespace {

bool IsNumeral(QChar c) {
  static constexpr QStringView kChinese =
      u"〇零一二三四五六七八九十百千万两壹贰叁肆伍陆柒捌玖拾佰仟";
  const char16_t u = c.unicode();
  return (u >= u'0' && u <= u'9') || (u >= u'０' && u <= u'９') || kChinese.contains(c);
}

// The length of the numeral at the start of `text` (0 when there is none).
qsizetype NumeralLength(QStringView text) {
  qsizetype length = 0;
  while (length < text.size() && IsNumeral(text[length])) ++length;
  return length;
}

// The length of "第" + numeral + one of `marks` at the start of `text`, or 0.
qsizetype OrdinalLength(QStringView text, QStringView marks) {
  if (!text.startsWith(u'第')) return 0;
  const qsizetype numeral = NumeralLength(text.sliced(1));
  if (numeral == 0 || 1 + numeral >= text.size() || !marks.contains(text[1 + numeral])) return 0;
  return 1 + numeral + 1;
}

}  // namespace

bool IsVolumeHeading(QStringView name) {
  name = WithoutLeadingBlanks(name);
  qsizetype mark = OrdinalLength(name, u"卷");
  if (mark == 0 && name.startsWith(u'卷')) {
    const qsizetype numeral = NumeralLength(name.sliced(1));
    if (numeral > 0) mark = 1 + numeral;
  }
  if (mark == 0) return false;
  // A chapter numbered within the volume, right after its mark or after the volume's title.
  const QStringView rest = name.sliced(mark);
  for (qsizetype at = rest.indexOf(u'第'); at >= 0; at = rest.indexOf(u'第', at + 1)) {
    if (OrdinalLength(rest.sliced(at), u"章节回话") > 0) return false;
  }
  return true;
}

}  // namespace novel_export
