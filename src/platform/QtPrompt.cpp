#include "platform/QtPrompt.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

#include "platform/AppPaths.h"
#include "platform/FileDialogFolders.h"

namespace {
QString titleOr(const QString& t) { return t.isEmpty() ? QStringLiteral("Kestrin") : t; }
QWidget* ownerOr(QWidget* p) { return p ? p : QApplication::activeWindow(); }
}  // namespace

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
  QMessageBox box(ownerOr(parent_));
  box.setWindowTitle(titleOr(title));
  if (const QString table = tabTable(text); !table.isEmpty()) {
    box.setTextFormat(Qt::RichText);
    box.setText(table);
  } else {
    box.setText(text);
  }
  switch (icon) {
    case Icon::None: box.setIcon(QMessageBox::NoIcon); break;
    case Icon::Information: box.setIcon(QMessageBox::Information); break;
    case Icon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case Icon::Question: box.setIcon(QMessageBox::Question); break;
    case Icon::Critical: box.setIcon(QMessageBox::Critical); break;
  }
  switch (buttons) {
    case Buttons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case Buttons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case Buttons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case Buttons::YesNoCancel:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      break;
  }
  switch (box.exec()) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Ok: return Answer::Ok;
    default: return buttons == Buttons::YesNo ? Answer::No : Answer::Cancel;
  }
}

std::optional<QString> QtPrompt::input(const QString& text, const QString& title, const QString& initial,
                                       bool password) {
  bool ok = false;
  const QString answer = QInputDialog::getText(ownerOr(parent_), titleOr(title), text,
                                               password ? QLineEdit::Password : QLineEdit::Normal, initial, &ok);
  if (!ok) return std::nullopt;
  return answer;
}

QString QtPrompt::openFile(const QString& title, const QString& filter, const QString& folder) {
  const QString chosen = QFileDialog::getOpenFileName(ownerOr(parent_), titleOr(title),
                                                      FileDialogFolders::startPath(filter, folder), filter);
  FileDialogFolders::remember(filter, chosen);
  return chosen;
}

QString QtPrompt::saveFile(const QString& title, const QString& filter, const QString& folder, const QString& fileName) {
  QString start = folder;
  if (!fileName.isEmpty()) start = folder.isEmpty() ? fileName : AppPaths::withSlash(folder) + fileName;
  const QString chosen = QFileDialog::getSaveFileName(ownerOr(parent_), titleOr(title),
                                                      FileDialogFolders::startPath(filter, start), filter);
  FileDialogFolders::remember(filter, chosen);
  return chosen;
}

QString QtPrompt::pickFolder(const QString& title, const QString& folder) {
  const QString start = (!folder.isEmpty() && QFileInfo(folder).isDir()) ? folder : QDir::homePath();
  const QString p = QFileDialog::getExistingDirectory(ownerOr(parent_), titleOr(title), start);
  return p.isEmpty() ? p : AppPaths::withSlash(p);
}
