#include "platform/gui/gbk_qstring.h"

#include "platform/core/code_page.h"

namespace gui {

QString QStringOfGbk(std::string_view gbk) {
  return QString::fromStdU16String(platform::GbkToUtf16(gbk));
}

std::string GbkOfQString(const QString& text) {
  return platform::Utf16ToGbk(std::u16string_view(
      reinterpret_cast<const char16_t*>(text.constData()), static_cast<size_t>(text.size())));
}

}  // namespace gui
