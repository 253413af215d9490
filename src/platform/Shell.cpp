#include "platform/Shell.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include "platform/Prompt.h"

namespace Shell {

std::function<bool(const QUrl&)> openHook;

namespace {

bool open(const QUrl& url) {
  if (openHook) return openHook(url);
  return QDesktopServices::openUrl(url);
}

// An address no program took is reported, as the desktop's shell does.
bool openOrTell(const QUrl& url, Prompt& prompt) {
  if (open(url)) return true;
  prompt.warn(addressNotOpenedText(url));
  return false;
}

// Every address of the entries: an entry may hold several, separated by
// ";" or ","; blanks around them and empty ones are dropped.
QStringList addressesOf(const QStringList& entries) {
  static const QRegularExpression separators(QStringLiteral("[;,]"));
  QStringList out;
  for (const QString& entry : entries) {
    for (const QString& a : entry.split(separators)) {
      const QString t = a.trimmed();
      if (!t.isEmpty()) out << t;
    }
  }
  return out;
}

}  // namespace

QUrl urlFor(const QString& text) {
  QString t = text.trimmed();
  if (t.startsWith(QStringLiteral("www."), Qt::CaseInsensitive)) t.prepend(QStringLiteral("http://"));
  const int colon = t.indexOf(QLatin1Char(':'));
  if (colon <= 0) return {};
  const QString scheme = t.left(colon).toLower();
  const bool web = scheme == QLatin1String("http") || scheme == QLatin1String("https") || scheme == QLatin1String("ftp");
  if (!web && scheme != QLatin1String("mailto")) return {};
  const QUrl url(t, QUrl::TolerantMode);
  if (!url.isValid() || url.scheme().toLower() != scheme) return {};
  if (web && url.host().isEmpty()) return {};
  if (!web && url.path().isEmpty()) return {};
  return url;
}

bool openUrl(const QString& text, Prompt& prompt) {
  const QUrl url = urlFor(text);
  if (!url.isValid()) return false;
  return openOrTell(url, prompt);
}

QString mailtoUrl(const QStringList& addresses) {
  QStringList encoded;
  for (const QString& a : addressesOf(addresses))
    encoded << QString::fromLatin1(QUrl::toPercentEncoding(a, QByteArrayLiteral("@")));
  return QStringLiteral("mailto:") + encoded.join(QLatin1Char(','));
}

bool openMail(const QStringList& addresses, Prompt& prompt) {
  const QUrl url(mailtoUrl(addresses), QUrl::TolerantMode);
  if (!url.isValid()) return false;
  return openOrTell(url, prompt);
}

QString addressShown(const QUrl& url) {
  // Percent-encoded letters (a Chinese name, a blank) shown as typed.
  QString shown = url.toDisplayString();
  // A list reads "a@x.tw, b@y.tw"; the blank also lets the message box wrap
  // it, where one unbroken run of addresses would run off the box's edge.
  const bool mail = url.scheme().compare(QLatin1String("mailto"), Qt::CaseInsensitive) == 0;
  if (mail) shown.replace(QLatin1Char(','), QStringLiteral(", "));
  // A mailto list may hold a couple of thousand characters, hundreds of
  // addresses. A message box grows to hold its text, so the whole list
  // would cover the screen and push the OK button off it, while its first
  // addresses already say which mail could not be written. An ordinary web
  // address is shorter and stays whole.
  if (shown.size() <= ShownAddressLength) return shown;
  const QString ellipsis = QStringLiteral("…");
  qsizetype cut = ShownAddressLength - ellipsis.size();
  // A list ends after its last whole address that fits.
  if (const qsizetype comma = mail ? shown.lastIndexOf(QStringLiteral(", "), cut - 2) : -1; comma > 0)
    return shown.left(comma + 2) + ellipsis;
  if (shown.at(cut - 1).isHighSurrogate()) --cut;  // never half a character
  return shown.left(cut) + ellipsis;
}

QString addressNotOpenedText(const QUrl& url) {
  const QString text = url.scheme().compare(QLatin1String("mailto"), Qt::CaseInsensitive) == 0
                           ? QStringLiteral("無法用郵件程式寫信（找不到可以寫信的郵件程式）：\n%1")
                           : QStringLiteral("無法用瀏覽器開啟網址（找不到可以開啟網頁的程式）：\n%1");
  return text.arg(addressShown(url));
}

bool openLocalFile(const QString& path) {
  if (path.isEmpty()) return false;
  return open(QUrl::fromLocalFile(path));
}

bool showLocalFile(const QString& path, Prompt& prompt) {
  if (openLocalFile(path)) return true;
  prompt.warn(notOpenedText(path));
  return false;
}

QString notOpenedText(const QString& path) {
  return QStringLiteral("無法用瀏覽器開啟檔案（找不到可以開啟網頁的程式）。\n檔案存放在：\n%1\n請用其他方式開啟或列印。")
      .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
}

}  // namespace Shell
