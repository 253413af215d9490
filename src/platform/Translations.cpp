#include "platform/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace Translations {

namespace {

// Texts of the file dialog that Debian's Qt translations leave in English
// (the type column of its file list).
class FileTypeTexts : public QTranslator {
 public:
  using QTranslator::QTranslator;
  bool isEmpty() const override { return false; }
  QString translate(const char* context, const char* source, const char* disambiguation, int n) const override {
    (void)disambiguation, (void)n;
    if (qstrcmp(context, "QAbstractFileIconProvider") != 0 && qstrcmp(context, "QFileSystemModel") != 0) return {};
    static const struct {
      const char* en;
      const char* zh;
    } texts[] = {{"Folder", "資料夾"}, {"File Folder", "檔案資料夾"}, {"File", "檔案"},
                 {"%1 File", "%1 檔案"}, {"Drive", "磁碟機"}, {"Shortcut", "捷徑"}, {"Alias", "別名"}};
    for (const auto& t : texts)
      if (qstrcmp(source, t.en) == 0) return QString::fromUtf8(t.zh);
    return {};
  }
};

}  // namespace

QTranslator* install(QCoreApplication& app) {
  const QLocale zhTW(QLocale::Chinese, QLocale::TraditionalHanScript, QLocale::Taiwan);
  QLocale::setDefault(zhTW);
  auto* qt = new QTranslator(&app);
  if (!qt->load(zhTW, QStringLiteral("qtbase"), QStringLiteral("_"),
                QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete qt;
    return nullptr;
  }
  // Installed first, asked last: Qt's own translations win where they have a text.
  QCoreApplication::installTranslator(new FileTypeTexts(qt));
  QCoreApplication::installTranslator(qt);
  return qt;
}

}  // namespace Translations
