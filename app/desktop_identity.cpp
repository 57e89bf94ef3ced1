#include "app/desktop_identity.h"

#include <QApplication>
#include <QFile>
#include <QIcon>

namespace app {

void PresentToDesktop() {
  QGuiApplication::setApplicationDisplayName(QString::fromUtf8("写作台 — Inkstone"));
  // The entry's file name without ".desktop": a Wayland desktop finds the entry (and its icon)
  // by it, an X11 one by the window class.
  QGuiApplication::setDesktopFileName(QStringLiteral("org.inkstone.Inkstone"));
  QIcon icon;
  for (const int size : {16, 24, 32, 48, 64, 128, 256}) {
    const QString file = QStringLiteral(":/icons/inkstone-%1.png").arg(size);
    if (QFile::exists(file)) icon.addFile(file, QSize(size, size));
  }
  // The program's own picture (a test program built without it keeps Qt's).
  if (!icon.isNull()) QApplication::setWindowIcon(icon);
}

}  // namespace app
