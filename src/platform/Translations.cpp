#include "platform/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace Translations {

QTranslator* install(QCoreApplication& app) {
  const QLocale zhTW(QLocale::Chinese, QLocale::TraditionalHanScript, QLocale::Taiwan);
  QLocale::setDefault(zhTW);
  auto* qt = new QTranslator(&app);
  if (!qt->load(zhTW, QStringLiteral("qtbase"), QStringLiteral("_"),
                QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete qt;
    return nullptr;
  }
  QCoreApplication::installTranslator(qt);
  return qt;
}

}  // namespace Translations
