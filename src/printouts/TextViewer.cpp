#include "printouts/TextViewer.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QFontDatabase>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>

#include "platform/Codec.h"
#include "platform/QtPrompt.h"
#include "store/LineBreaks.h"
#include "store/SaveTransaction.h"

TextViewer::TextViewer(QWidget* parent, Prompt* prompt)
    : QMainWindow(parent), prompt_(prompt), edit_(new QPlainTextEdit(this)) {
  if (!prompt_) {
    ownPrompt_ = std::make_unique<QtPrompt>(this);
    prompt_ = ownPrompt_.get();
  }
  edit_->setLineWrapMode(QPlainTextEdit::NoWrap);
  edit_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  setCentralWidget(edit_);

  QMenu* file = menuBar()->addMenu(QStringLiteral("檔案(&F)"));
  file->addAction(QStringLiteral("另存新檔(&A)..."), QKeySequence::SaveAs, this, &TextViewer::saveAs);
  file->addAction(QStringLiteral("列印(&P)..."), QKeySequence::Print, this, &TextViewer::print);
  file->addSeparator();
  file->addAction(QStringLiteral("結束(&X)"), this, &QWidget::close);

  connect(edit_->document(), &QTextDocument::modificationChanged, this, [this](bool) { updateTitle(); });
  resize(800, 600);
  updateTitle();
}

TextViewer::~TextViewer() = default;

TextViewer* TextViewer::showFile(const QString& path, QWidget* parent, Prompt* prompt) {
  auto* viewer = new TextViewer(parent, prompt);
  viewer->setAttribute(Qt::WA_DeleteOnClose);
  if (!viewer->loadFile(path)) {
    delete viewer;
    return nullptr;
  }
  viewer->show();
  viewer->raise();
  viewer->activateWindow();
  return viewer;
}

bool TextViewer::openFile(const QString& path) {
  if (loadFile(path)) return true;
  prompt_->error();
  return false;
}

bool TextViewer::loadFile(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return false;
  const QByteArray bytes = f.readAll();
  if (f.error() != QFile::NoError) return false;
  const QString t = LineBreaks::forBox(Codec::decode(bytes));
  path_ = QFileInfo(path).absoluteFilePath();
  setText(t);
  return true;
}

QString TextViewer::text() const { return edit_->toPlainText(); }

void TextViewer::setText(const QString& text) {
  edit_->setPlainText(text);
  edit_->document()->setModified(false);
  updateTitle();
}

bool TextViewer::saveTo(const QString& path) {
  const QString t = LineBreaks::forFile(text());
  bool lossless = true;
  const QByteArray bytes = Codec::encode(t, &lossless);
  const QFileInfo info(path);
  if (info.fileName().isEmpty() || !SaveTransaction::writeFile(info.absolutePath(), info.fileName(), bytes)) {
    prompt_->error();
    return false;
  }
  path_ = info.absoluteFilePath();
  edit_->document()->setModified(false);
  updateTitle();
  if (!lossless)
    prompt_->warn(QStringLiteral("有些字元無法以 Big5 編碼儲存，已改為「?」。"));
  return true;
}

void TextViewer::saveAs() {
  const QString folder = path_.isEmpty() ? QString() : QFileInfo(path_).absolutePath();
  const QString name = path_.isEmpty() ? QStringLiteral("temp.txt") : QFileInfo(path_).fileName();
  const QString target =
      prompt_->saveFile(QStringLiteral("另存新檔"), QStringLiteral("文字文件 (*.txt);;所有檔案 (*)"), folder, name);
  if (target.isEmpty()) return;
  saveTo(target);
}

void TextViewer::print() {
  QPrinter printer;
  QPrintDialog dialog(&printer, this);
  dialog.setWindowTitle(QStringLiteral("列印"));
  if (dialog.exec() != QDialog::Accepted) return;
  edit_->document()->print(&printer);
}

void TextViewer::closeEvent(QCloseEvent* event) {
  if (edit_->document()->isModified()) {
    const QString name = path_.isEmpty() ? QStringLiteral("temp.txt") : QFileInfo(path_).fileName();
    const Prompt::Answer a = prompt_->message(QStringLiteral("是否要儲存對 %1 的變更?").arg(name),
                                              Prompt::Icon::Exclamation, Prompt::Buttons::YesNoCancel);
    if (a == Prompt::Answer::Cancel) {
      event->ignore();
      return;
    }
    if (a == Prompt::Answer::Yes) {
      const QString folder = path_.isEmpty() ? QString() : QFileInfo(path_).absolutePath();
      const QString target = prompt_->saveFile(QStringLiteral("另存新檔"),
                                               QStringLiteral("文字文件 (*.txt);;所有檔案 (*)"), folder, name);
      if (target.isEmpty() || !saveTo(target)) {
        event->ignore();
        return;
      }
    }
  }
  event->accept();
}

void TextViewer::updateTitle() {
  const QString name = path_.isEmpty() ? QStringLiteral("未命名") : QFileInfo(path_).fileName();
  setWindowTitle((edit_->document()->isModified() ? QStringLiteral("*") : QString()) + name +
                 QStringLiteral(" - 記事本"));
}
