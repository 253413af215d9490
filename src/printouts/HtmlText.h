#pragma once
// Values in the HTML printouts. Every value taken from the tables or from a
// dialog box goes through escape(); the seller's own settings (the title,
// the seller block, the label template) are the seller's HTML and go in as
// written. The page is written in code page 950 (declared charset=big5);
// characters it cannot hold become numeric character references.
#include <QByteArray>
#include <QString>

namespace HtmlText {

// "&", "<", ">", "\"" and "'" as entities. A value without any of them comes
// back unchanged (the same shared string).
QString escape(const QString& value);

// Every CR LF pair as "<br>"; a lone CR or LF stays.
QString breaks(const QString& text);

// A multi-line value: escaped first, then its CR LF pairs become "<br>".
inline QString escapeNote(const QString& value) { return breaks(escape(value)); }

// The src of a picture: the file URL of the path ("file:///...", percent-
// encoded), escaped for an attribute in single quotes.
QString pictureSource(const QString& path);

// The bytes of a page: code page 950, a character it cannot hold written as
// "&#N;" (N its code point in decimal).
QByteArray encodePage(const QString& page);

// The head every HTML printout begins with, up to and including "<title>".
inline const QString PageHead =
    QStringLiteral("<html><head><meta http-equiv='Content-Type' content='text/html; charset=big5'><title>");

}  // namespace HtmlText
