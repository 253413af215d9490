#pragma once
// The clipboard's text, read only.
#include <QString>
#include <QStringList>

namespace Clipboard {

// The text on the clipboard; empty when it holds no text.
QString text();

// The clipboard text cut into lines: LF and CR LF both end a line. A line
// break at the very end does not start another (empty) line.
QStringList lines();

// The cutting rule of lines() for any text.
QStringList splitLines(const QString& text);

}  // namespace Clipboard
