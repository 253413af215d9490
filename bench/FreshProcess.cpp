#include "FreshProcess.h"

#include <QFile>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <ctime>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

qint64 monotonicNs() {
  timespec now{};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<qint64>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

ChildRun runChild(const QString& program, const QStringList& args, const QStringList& env, int timeoutMs) {
  ChildRun run;
  QProcessEnvironment all = QProcessEnvironment::systemEnvironment();
  for (const QString& e : env) {
    const qsizetype eq = e.indexOf(u'=');
    if (eq > 0) all.insert(e.left(eq), e.mid(eq + 1));
  }
  std::vector<QByteArray> argBytes{QFile::encodeName(program)}, envBytes;
  for (const QString& a : args) argBytes.push_back(a.toLocal8Bit());
  for (const QString& e : all.toStringList()) envBytes.push_back(e.toLocal8Bit());
  std::vector<char*> argv, envp;
  for (QByteArray& a : argBytes) argv.push_back(a.data());
  for (QByteArray& e : envBytes) envp.push_back(e.data());
  argv.push_back(nullptr);
  envp.push_back(nullptr);

  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC) != 0) return run;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, pipeFds[1], 1);
  pid_t pid = 0;
  run.launchNs = monotonicNs();
  const int spawned = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  ::close(pipeFds[1]);
  if (spawned != 0) {
    ::close(pipeFds[0]);
    return run;
  }
  const qint64 deadline = run.launchNs + static_cast<qint64>(timeoutMs) * 1000000LL;
  bool timedOut = false;
  char buffer[4096];
  for (;;) {
    const qint64 left = (deadline - monotonicNs()) / 1000000LL;
    if (left <= 0) {
      timedOut = true;
      break;
    }
    pollfd p{pipeFds[0], POLLIN, 0};
    const int ready = ::poll(&p, 1, static_cast<int>(std::min<qint64>(left, 1000)));
    if (ready < 0 && errno != EINTR) break;
    if (ready <= 0) continue;
    const ssize_t n = ::read(pipeFds[0], buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;  // the end of its output: it ended
    run.out.append(buffer, n);
  }
  ::close(pipeFds[0]);
  if (timedOut) ::kill(pid, SIGKILL);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  // The child tells its own peak ("peak <KiB>"): what wait4() would give
  // starts at this process's peak, as posix_spawn shares the address space
  // until the exec.
  for (const QByteArray& l : run.out.split('\n'))
    if (l.startsWith("peak ")) run.peakKiB = l.mid(5).toLong();
  run.finished = !timedOut && WIFEXITED(status);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

double Samples::min() const { return ms.empty() ? -1 : *std::min_element(ms.begin(), ms.end()); }

double Samples::median() const {
  if (ms.empty()) return -1;
  std::vector<double> s = ms;
  std::sort(s.begin(), s.end());
  const size_t n = s.size();
  return n % 2 ? s[n / 2] : (s[n / 2 - 1] + s[n / 2]) / 2;
}

VirtualScreen::~VirtualScreen() { stop(); }

bool VirtualScreen::start() {
  const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
  if (xvfb.isEmpty()) return false;
  // -displayfd: the server picks a free display and writes its number.
  server_.setStandardErrorFile(QProcess::nullDevice());
  server_.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"), QStringLiteral("0"),
                       QStringLiteral("1920x1080x24"), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
  if (!server_.waitForStarted(10000)) return false;
  QByteArray number;
  const qint64 deadline = monotonicNs() + 10000000000LL;
  while (!number.contains('\n') && monotonicNs() < deadline && server_.state() == QProcess::Running) {
    server_.waitForReadyRead(500);
    number += server_.readAllStandardOutput();
  }
  bool ok = false;
  const int n = number.trimmed().toInt(&ok);
  if (!ok) {
    stop();
    return false;
  }
  display_ = QStringLiteral(":%1").arg(n);
  return true;
}

void VirtualScreen::stop() {
  if (server_.state() == QProcess::NotRunning) return;
  server_.terminate();
  if (!server_.waitForFinished(5000)) {
    server_.kill();
    server_.waitForFinished(5000);
  }
}
