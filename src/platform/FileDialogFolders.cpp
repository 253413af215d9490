#include "platform/FileDialogFolders.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include "platform/SettingsStore.h"

namespace FileDialogFolders {

namespace {
const QString kSection = QStringLiteral("FileDialog");

bool isFolder(const QString& path) { return !path.isEmpty() && QFileInfo(path).isDir(); }
}  // namespace

QString kindOf(const QString& filter) {
  static const QRegularExpression re(QStringLiteral("\\*\\.([A-Za-z0-9]+)"));
  const auto m = re.match(filter);
  return m.hasMatch() ? m.captured(1).toLower() : QStringLiteral("*");
}

QString startPath(const QString& filter, const QString& start) {
  if (isFolder(start)) return start;
  const QFileInfo info(start);
  QString name;
  if (!start.isEmpty() && !start.endsWith(u'/')) {
    // A folder and a file name whose folder exists is taken as given.
    if (info.isAbsolute() && isFolder(info.absolutePath())) return start;
    name = info.fileName();
  }
  QString folder = SettingsStore::get(kSection, kindOf(filter));
  if (!isFolder(folder)) folder = QDir::homePath();
  if (!folder.endsWith(u'/')) folder += u'/';
  return folder + name;
}

void remember(const QString& filter, const QString& chosenPath) {
  if (chosenPath.isEmpty()) return;
  const QString folder = QFileInfo(chosenPath).absolutePath();
  if (isFolder(folder)) SettingsStore::set(kSection, kindOf(filter), folder);
}

}  // namespace FileDialogFolders
