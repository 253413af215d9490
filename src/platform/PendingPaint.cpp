#include "platform/PendingPaint.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

namespace PendingPaint {

void process(const std::function<bool()>& done) {
  constexpr QEventLoop::ProcessEventsFlags kNoInput = QEventLoop::ExcludeUserInputEvents;
  if (!done()) {
    QElapsedTimer clock;
    clock.start();
    QTimer wake;  // the wait below ends at least this often
    wake.start(5);
    while (!done() && clock.elapsed() < kMaxWaitMs)
      QCoreApplication::processEvents(kNoInput | QEventLoop::WaitForMoreEvents);
  }
  QCoreApplication::processEvents(kNoInput);
}

}  // namespace PendingPaint
