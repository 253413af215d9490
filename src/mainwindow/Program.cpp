#include "mainwindow/Program.h"

#include <QEvent>
#include <cstdlib>

#include "mainwindow/OrderForm.h"
#include "platform/AppPaths.h"
#include "platform/ListView.h"
#include "platform/QtPrompt.h"
#include "platform/SettingsStore.h"
#include "platform/TextOrder.h"
#include "store/DataStore.h"

Program::Program(const QString& lockPath) : instance_(lockPath) {}

Program::~Program() = default;

bool Program::start() {
  {
    QtPrompt prompt;
    if (!instance_.acquire(prompt)) return false;  // another instance runs: nothing touched
  }
  // The stored database's tables are read on the worker threads while the
  // window is built; the load takes them when it gets there.
  DataStore::readAhead(SettingsStore::get(QStringLiteral("Setting"), QStringLiteral("DataBasePath"), AppPaths::appPath()));
  TextOrder::prepareInBackground();
  window_ = std::make_unique<OrderForm>();
  window_->endProgram = [this] { end(); };
  window_->quitProgram = [this] { end(); };
  window_->exitStarted = [this] { instance_.markExiting(); };
  if (atFirstPaint) watchFirstPaint();
  window_->Form_Load();
  return true;
}

namespace {
// Sees the paints of one widget once `armed` is set, and calls `painted`
// after the first of them was done (the frame handed to the window system).
class FirstPaintWatch : public QObject {
 public:
  FirstPaintWatch(QWidget* widget, std::function<void()> painted) : QObject(widget), painted_(std::move(painted)) {
    widget->installEventFilter(this);
  }
  void arm() { armed_ = true; }

 protected:
  bool eventFilter(QObject* watched, QEvent* e) override {
    if (armed_ && !seen_ && e->type() == QEvent::Paint) {
      seen_ = true;
      QMetaObject::invokeMethod(this, painted_, Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, e);
  }

 private:
  std::function<void()> painted_;
  bool armed_ = false;
  bool seen_ = false;
};
}  // namespace

void Program::watchFirstPaint() {
  auto* watch = new FirstPaintWatch(window_->orderList->viewport(), [this] { endAtFirstPaint(); });
  QObject::connect(window_.get(), &OrderForm::databaseLoaded, watch, [watch] { watch->arm(); });
}

void Program::endAtFirstPaint() {
  atFirstPaint();
  instance_.unlock();
  std::_Exit(0);
}

void Program::end() {
  SettingsStore::sync();
  if (beforeRelease) beforeRelease();
  instance_.unlock();
  std::_Exit(0);
}
