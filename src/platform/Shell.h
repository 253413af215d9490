#pragma once
// Handing web addresses, mail address lists and local files to the desktop.
#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>

class Prompt;

namespace Shell {

// Every open goes through this hook; empty means QDesktopServices::openUrl.
// Tests put a recorder here so nothing is launched.
extern std::function<bool(const QUrl&)> openHook;

// Opens a web or mail address. Only http, https, ftp and mailto are opened;
// text starting "www." gets "http://" in front. Anything else (blank text,
// file paths, other schemes) is ignored and gives false. Blanks around the
// text are dropped. When no program takes the address (no browser, no mail
// program), the user is told so in one message naming it, as the desktop's
// own shell does; false then.
bool openUrl(const QString& text, Prompt& prompt);

// The address (text after the scheme check) openUrl would hand on, or an
// invalid QUrl when it would ignore the text.
QUrl urlFor(const QString& text);

// "mailto:" followed by the addresses, each percent-encoded ("@" kept) and
// joined with ","; an entry holding several addresses (separated by ";" or
// ",") gives each of them; empty addresses are skipped.
QString mailtoUrl(const QStringList& addresses);

// Opens a new message in the mail program to the addresses (as mailtoUrl
// lists them); with none, a message without addressee ("mailto:" alone).
// Without a mail program the user is told so, as openUrl does.
bool openMail(const QStringList& addresses, Prompt& prompt);

// The message shown when no program takes url: what could not be opened,
// the address as the user reads it, a long one cut (see addressShown).
QString addressNotOpenedText(const QUrl& url);
// The address as that message shows it: decoded, the addresses of a mailto
// list separated by ", ", at most ShownAddressLength characters; a longer
// one is cut (a list after its last whole address that fits) and ends "…".
QString addressShown(const QUrl& url);
inline constexpr int ShownAddressLength = 200;

// Opens a local file (the HTML printout) with its default program.
bool openLocalFile(const QString& path);

// Opens a file written or shipped for the user to read (a printout, the
// manual) in the browser. When no program takes it, the user is told so,
// with the file's full path, so it can be opened or printed another way;
// false then.
bool showLocalFile(const QString& path, Prompt& prompt);
// That message for the file at path.
QString notOpenedText(const QString& path);

}  // namespace Shell
