#include "platform/Clipboard.h"

#include <QClipboard>
#include <QGuiApplication>

namespace Clipboard {

QString text() {
  const QClipboard* board = QGuiApplication::clipboard();
  return board ? board->text() : QString();
}

QStringList lines() { return splitLines(text()); }

QStringList splitLines(const QString& text) {
  QStringList out;
  qsizetype start = 0;
  const qsizetype n = text.size();
  while (start < n) {
    qsizetype lf = text.indexOf(QLatin1Char('\n'), start);
    if (lf < 0) {
      out << text.mid(start);
      break;
    }
    qsizetype end = lf;
    if (end > start && text.at(end - 1) == QLatin1Char('\r')) --end;
    out << text.mid(start, end - start);
    start = lf + 1;
  }
  return out;
}

}  // namespace Clipboard
