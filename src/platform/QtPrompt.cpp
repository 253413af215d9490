#include "platform/QtPrompt.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QWindow>

#include "platform/AppPaths.h"
#include "platform/FileDialogFolders.h"
#include "platform/PendingPaint.h"
#include "platform/X11WindowFrame.h"

namespace {

// Marks the prompt's own dialogs: they never own the next one.
constexpr char kPromptWindow[] = "kestrinPromptWindow";

QString titleOr(const QString& t) { return t.isEmpty() ? QStringLiteral("Kestrin") : t; }

bool isPromptWindow(const QWidget* w) { return w->property(kPromptWindow).toBool(); }

bool showing(const QWidget* w) { return w->isVisible() && !w->isMinimized(); }

// The window that can own a box in w's place: w's own window when it is
// showing, takes the focus and is not one of the prompt's dialogs, else the
// first such window among those that own it.
QWidget* askingWindow(QWidget* w) {
  for (w = w ? w->window() : nullptr; w; w = w->parentWidget() ? w->parentWidget()->window() : nullptr)
    if (showing(w) && !isPromptWindow(w) && !w->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus))
      return w;
  return nullptr;
}

// Whether w is window or one of the windows window owns (not blocked by it
// when it is modal).
bool belongsTo(const QWidget* w, const QWidget* window) {
  for (; w; w = w->parentWidget())
    if (w == window) return true;
  return false;
}

}  // namespace

QtPrompt::QtPrompt(QWidget* parent) : parent_(parent), focusWatch_(std::make_unique<QObject>()) {
  auto noteActive = [this] {
    if (QWidget* w = QApplication::activeWindow(); w && !isPromptWindow(w)) lastActive_ = w;
  };
  noteActive();
  if (qGuiApp) QObject::connect(qGuiApp, &QGuiApplication::focusWindowChanged, focusWatch_.get(), noteActive);
}

QtPrompt::~QtPrompt() = default;

QWidget* QtPrompt::owner() const {
  QWidget* modal = askingWindow(QApplication::activeModalWidget());
  for (QWidget* candidate : {QApplication::activeWindow(), lastActive_.data(), modal, parent_.data()}) {
    QWidget* w = askingWindow(candidate);
    if (w && (!modal || belongsTo(w, modal))) return w;
  }
  return nullptr;
}

int QtPrompt::ask(QDialog* made, const std::function<void()>& read) {
  const QPointer<QWidget> owner = made->parentWidget();
  const QPointer<QDialog> dialog = made;
  dialog->setProperty(kPromptWindow, true);
  int result = dialog->exec();
  unsigned long boxWindow = 0;  // its window on the X server, while it had one
  if (dialog) {
    if (read) read();
    if (const QWindow* handle = dialog->windowHandle()) boxWindow = static_cast<unsigned long>(handle->winId());
    delete dialog;
  } else {
    result = QDialog::Rejected;  // it went with its owner
  }
  // Back at the window that asked, in front and focused, with the box off
  // the screen before the command goes on: once the window manager has taken
  // the box and its frame away (it no longer manages the box's window), the
  // windows are painted anew.
  if (owner && showing(owner)) {
    owner->raise();
    owner->activateWindow();
  }
  PendingPaint::process([&owner, boxWindow] {
    return (!owner || !showing(owner) || QApplication::activeWindow() == owner) && !X11WindowFrame::managed(boxWindow);
  });
  // Painted now rather than when the window system's word of the uncovered
  // parts arrives, which under load can be after the work has begun; every
  // window showing, not only those under the box where Qt last heard it was
  // (just after the window manager placed it, that can be stale).
  for (QWidget* w : QApplication::topLevelWidgets())
    if (showing(w)) w->repaint();
  return result;
}

QString QtPrompt::tabTable(const QString& text) {
  if (!text.contains(u'\t')) return {};
  QString html = QStringLiteral("<table cellspacing=0 cellpadding=0>");
  QString lines = text;
  lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  for (const QString& line : lines.split(u'\n')) {
    const QStringList parts = line.split(u'\t', Qt::SkipEmptyParts);
    html += QStringLiteral("<tr>");
    if (parts.size() <= 1) {
      const QString cell = parts.value(0).toHtmlEscaped();
      html += QStringLiteral("<td colspan=2 style='white-space:pre'>") + (cell.isEmpty() ? QStringLiteral("&nbsp;") : cell) +
              QStringLiteral("</td>");
    } else {
      html += QStringLiteral("<td style='white-space:pre; padding-right:24px'>") + parts[0].toHtmlEscaped() +
              QStringLiteral("</td><td style='white-space:pre'>") + parts.mid(1).join(u' ').toHtmlEscaped() + QStringLiteral("</td>");
    }
    html += QStringLiteral("</tr>");
  }
  return html + QStringLiteral("</table>");
}

Prompt::Answer QtPrompt::message(const QString& text, Icon icon, Buttons buttons, const QString& title) {
  auto* box = new QMessageBox(owner());
  box->setWindowTitle(titleOr(title));
  if (const QString table = tabTable(text); !table.isEmpty()) {
    box->setTextFormat(Qt::RichText);
    box->setText(table);
  } else {
    box->setText(text);
  }
  switch (icon) {
    case Icon::None: box->setIcon(QMessageBox::NoIcon); break;
    case Icon::Information: box->setIcon(QMessageBox::Information); break;
    case Icon::Exclamation: box->setIcon(QMessageBox::Warning); break;
    case Icon::Question: box->setIcon(QMessageBox::Question); break;
    case Icon::Critical: box->setIcon(QMessageBox::Critical); break;
  }
  switch (buttons) {
    case Buttons::Ok: box->setStandardButtons(QMessageBox::Ok); break;
    case Buttons::OkCancel: box->setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case Buttons::YesNo: box->setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case Buttons::YesNoCancel:
      box->setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      break;
  }
  switch (ask(box)) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Ok: return Answer::Ok;
    default: return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
  }
}

std::optional<QString> QtPrompt::input(const QString& text, const QString& title, const QString& initial,
                                       bool password) {
  auto* dialog = new QInputDialog(owner());
  dialog->setWindowTitle(titleOr(title));
  dialog->setLabelText(text);
  dialog->setTextValue(initial);
  dialog->setTextEchoMode(password ? QLineEdit::Password : QLineEdit::Normal);
  QString answer;
  if (ask(dialog, [&] { answer = dialog->textValue(); }) != QDialog::Accepted) return std::nullopt;
  return answer;
}

namespace {
// A file dialog for the owner, starting at start (a folder, or a folder and
// a file name).
QFileDialog* fileDialog(QWidget* owner, const QString& title, const QString& start, const QString& filter,
                        QFileDialog::FileMode mode) {
  auto* dialog = new QFileDialog(owner, titleOr(title), start, filter);
  dialog->setFileMode(mode);
  return dialog;
}

// The file or folder chosen, or empty when cancelled.
QString chosenIn(const QFileDialog* dialog) {
  return dialog->result() == QDialog::Accepted ? dialog->selectedFiles().value(0) : QString();
}
}  // namespace

QString QtPrompt::openFile(const QString& title, const QString& filter, const QString& folder) {
  QFileDialog* dialog =
      fileDialog(owner(), title, FileDialogFolders::startPath(filter, folder), filter, QFileDialog::ExistingFile);
  QString chosen;
  ask(dialog, [&] { chosen = chosenIn(dialog); });
  FileDialogFolders::remember(filter, chosen);
  return chosen;
}

QString QtPrompt::saveFile(const QString& title, const QString& filter, const QString& folder, const QString& fileName) {
  QString start = folder;
  if (!fileName.isEmpty()) start = folder.isEmpty() ? fileName : AppPaths::withSlash(folder) + fileName;
  QFileDialog* dialog =
      fileDialog(owner(), title, FileDialogFolders::startPath(filter, start), filter, QFileDialog::AnyFile);
  dialog->setAcceptMode(QFileDialog::AcceptSave);
  QString chosen;
  ask(dialog, [&] { chosen = chosenIn(dialog); });
  FileDialogFolders::remember(filter, chosen);
  return chosen;
}

QString QtPrompt::pickFolder(const QString& title, const QString& folder) {
  const QString start = (!folder.isEmpty() && QFileInfo(folder).isDir()) ? folder : QDir::homePath();
  QFileDialog* dialog = fileDialog(owner(), title, start, {}, QFileDialog::Directory);
  dialog->setOption(QFileDialog::ShowDirsOnly);
  QString p;
  ask(dialog, [&] { p = chosenIn(dialog); });
  return p.isEmpty() ? p : AppPaths::withSlash(p);
}
