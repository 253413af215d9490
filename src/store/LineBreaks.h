#pragma once
// Line breaks of multi-line text: the tables and files keep CR LF, text boxes
// show "\n".
#include <QString>

namespace LineBreaks {

// CR LF as "\n", for a text box.
inline QString forBox(const QString& stored) {
  QString s = stored;
  s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return s;
}

// Every line break as CR LF, for a table cell or a file.
inline QString forFile(const QString& shown) {
  QString s = forBox(shown);
  s.replace(u'\n', QStringLiteral("\r\n"));
  return s;
}

}  // namespace LineBreaks
