#include "units/editbox/holdable_text.h"

#include <QCursor>
#include <QToolTip>
#include <QWidget>

namespace units {

namespace {

// Whether the character at `i` is one a saved text cannot hold.
bool Unholdable(const QString& text, qsizetype i) {
  const QChar c = text[i];
  if (c.isNull()) return true;
  if (!c.isSurrogate()) return false;
  if (c.isHighSurrogate()) return i + 1 >= text.size() || !text[i + 1].isLowSurrogate();
  return i == 0 || !text[i - 1].isHighSurrogate();
}

}  // namespace

QString HoldableText(const QString& text, bool* changed) {
  *changed = false;
  qsizetype first = 0;
  while (first < text.size() && !Unholdable(text, first)) ++first;
  if (first == text.size()) return text;  // the usual case: nothing copied
  QString holdable = text.left(first);
  for (qsizetype i = first; i < text.size(); ++i) {
    const QChar c = text[i];
    if (c.isNull()) {
      *changed = true;
      continue;
    }
    if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
      holdable += c;
      holdable += text[++i];
      continue;
    }
    if (c.isSurrogate()) {
      *changed = true;
      holdable += QChar::ReplacementCharacter;
      continue;
    }
    holdable += c;
  }
  return *changed ? holdable : text;
}

void TellUnholdableDropped(QWidget* box) {
  static bool told = false;
  if (told || box == nullptr) return;
  told = true;
  QToolTip::showText(box->mapToGlobal(box->rect().center()),
                     QStringLiteral("粘贴或输入的内容里有无法保存的字符（如空字符），已去掉。"),
                     box);
}

}  // namespace units
