#include "mainwindow/LoadForm.h"

#include <QDialog>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>

#include "platform/PendingPaint.h"

LoadForm::~LoadForm() { close(); }

void LoadForm::show(const QString& label) {
  close();
  // It takes no focus: the window that runs the command stays the active
  // one, and what is asked meanwhile is that window's.
  window_ = new QDialog(owner_, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                    Qt::WindowDoesNotAcceptFocus);
  window_->setAttribute(Qt::WA_ShowWithoutActivating);
  window_->setWindowTitle(QStringLiteral("請稍等"));
  window_->setModal(false);
  label_ = new QLabel(QStringLiteral("資料載入中...."), window_);
  bar_ = new QProgressBar(window_);
  bar_->setRange(0, 100);
  bar_->setValue(0);
  auto* layout = new QVBoxLayout(window_);
  layout->addWidget(label_);
  layout->addWidget(bar_);
  window_->setFixedSize(320, 96);
  if (!label.isEmpty()) label_->setText(label);
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect r = screen->availableGeometry();
    window_->move(r.center() - QPoint(160, 48));
  }
  window_->show();
  // The work that follows does not wait for the window system: the window
  // is painted once it is framed and mapped.
  const QPointer<QDialog> shown = window_;
  PendingPaint::process([&shown] { return !shown || (shown->windowHandle() && shown->windowHandle()->isExposed()); });
}

void LoadForm::setLabel(const QString& text) {
  if (label_ && window_) label_->setText(text);
}

void LoadForm::setValue(int value) {
  if (bar_ && window_) bar_->setValue(qBound(0, value, 100));
}

void LoadForm::close() {
  if (window_) {
    window_->hide();
    delete window_;
  }
  label_ = nullptr;
  bar_ = nullptr;
}
