#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace gui {

// The one crossing between the system's GBK texts and Qt's strings. Decoding and encoding
// use GB18030, so a character outside GBK that an author typed survives the round trip.
QString QStringOfGbk(std::string_view gbk);
std::string GbkOfQString(const QString& text);

}  // namespace gui
