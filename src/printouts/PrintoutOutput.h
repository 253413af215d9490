#pragma once
// Handing a printout to its viewer: the temporary-folder check that comes
// first, writing "temp.htm" or "temp.txt" and showing it (the browser for
// HTML, the program's own text viewer for text). The program never waits
// for a viewer.
#include <QString>
#include <functional>

class Database;
class Prompt;
class QWidget;

namespace PrintoutOutput {

// When TempPath is empty or names no folder: TempPath is emptied and the
// folder dialog in its temporary-file mode is shown; the command then goes
// on with whatever TempPath holds (empty: the current folder).
void checkTempFolder(Database& db, Prompt& prompt, QWidget* owner);

// Writes the page as "temp.htm" and opens it in the browser; "發生錯誤!"
// and false when it could not be written (nothing is opened then). A page
// written that no browser takes is true, and the user is told where it is.
bool deliverHtml(Database& db, Prompt& prompt, const QString& page);
// Writes the text as "temp.txt" (code page 950) and shows it in a text
// viewer window; "發生錯誤!" and false when it could not be written. A
// file written that cannot be shown is true, and the user is told where it is.
bool deliverText(Database& db, Prompt& prompt, QWidget* owner, const QString& text);
// "temp.htm" through deliverHtml or "temp.txt" through deliverText.
bool deliver(Database& db, Prompt& prompt, QWidget* owner, const QString& name, const QString& content);

// The folder dialog (default: SetAtuoBackupForm in its temporary-file mode,
// modal over owner). Tests answer it instead.
extern std::function<void(Database& db, Prompt& prompt, QWidget* owner)> askTempFolder;
// The text viewer (default: a TextViewer window of its own); false when it
// could not show the file. Tests record the path instead.
extern std::function<bool(const QString& path, QWidget* owner)> showText;
// The message for a text file written that could not be shown.
QString notShownText(const QString& path);

}  // namespace PrintoutOutput
