#pragma once
// Qt's own texts (the buttons of message and input boxes, the file dialog)
// in Traditional Chinese, the program's language, whatever the desktop's
// locale is.
class QCoreApplication;
class QTranslator;

namespace Translations {

// Loads Qt's Traditional Chinese translations into the application; null
// when they are not installed (Debian package qt6-translations-l10n). The
// translator belongs to the application.
QTranslator* install(QCoreApplication& app);

}  // namespace Translations
