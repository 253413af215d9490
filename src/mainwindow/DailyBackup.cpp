#include "mainwindow/DailyBackup.h"

#include <QCoreApplication>
#include <atomic>
#include <chrono>
#include <future>

#include "store/BackupArchive.h"
#include "store/Database.h"
#include "store/Progress.h"

namespace DailyBackup {

bool write(const Database& db, Progress& progress) {
  progress.show(QStringLiteral("資料備份中..."));
  QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  std::atomic<int> percent{0};
  auto job = std::async(std::launch::async, [&db, &percent] {
    return AutoBackup(db, nullptr, [&percent](qint64 done, qint64 total) {
      percent = total > 0 ? static_cast<int>(done * 100 / total) : 100;
    });
  });
  while (job.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready) {
    progress.setValue(percent);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  }
  const bool ok = job.get();
  progress.setValue(100);
  progress.close();
  return ok;
}

}  // namespace DailyBackup
