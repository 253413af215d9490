#include "mainwindow/Program.h"

#include <cstdlib>

#include "mainwindow/OrderForm.h"
#include "platform/AppPaths.h"
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
  window_->Form_Load();
  return true;
}

void Program::end() {
  SettingsStore::sync();
  if (beforeRelease) beforeRelease();
  instance_.unlock();
  std::_Exit(0);
}
