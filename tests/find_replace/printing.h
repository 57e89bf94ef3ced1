#pragma once

#include <QString>
#include <ostream>

#include "find_replace/matcher.h"

// How GoogleTest shows the values these tests compare.

inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace find_replace {

inline void PrintTo(const Hit& hit, std::ostream* out) {
  *out << '{' << hit.start << ", " << hit.length << '}';
}

}  // namespace find_replace
