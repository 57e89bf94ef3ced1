#include "platform/gui/qt_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace gui {

bool UseQtChineseTranslations() {
  QCoreApplication* application = QCoreApplication::instance();
  if (application == nullptr) return false;
  // Owned by the application: it stays installed for the program's life.
  auto* translator = new QTranslator(application);
  for (const QString& folder : {QCoreApplication::applicationDirPath() + "/translations",
                                QLibraryInfo::path(QLibraryInfo::TranslationsPath)}) {
    if (translator->load(QStringLiteral("qtbase_zh_CN"), folder)) {
      QCoreApplication::installTranslator(translator);
      return true;
    }
  }
  delete translator;
  return false;
}

}  // namespace gui
