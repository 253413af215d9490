#include "mainwindow/Program.h"

#include <cstdlib>

#include "mainwindow/OrderForm.h"
#include "platform/QtPrompt.h"
#include "platform/SettingsStore.h"

Program::Program(const QString& lockPath) : instance_(lockPath) {}

Program::~Program() = default;

bool Program::start() {
  {
    QtPrompt prompt;
    if (!instance_.acquire(prompt)) return false;  // another instance runs: nothing touched
  }
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
