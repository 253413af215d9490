#pragma once
// Fresh processes for the figures a user waits for in a program just
// started: launching one and reading what it reports, the times of several
// tries, and a virtual screen (Xvfb) for the real program's window.
#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <vector>

// The monotonic clock, the same in every process of the machine.
qint64 monotonicNs();

struct ChildRun {
  bool finished = false;  // it ended by itself in time
  int exitCode = -1;
  QByteArray out;          // its standard output
  qint64 launchNs = 0;     // the monotonic clock just before it was launched
  long peakKiB = -1;       // its peak memory (resident), as it told it
};

// Launches `program` with `args`, the environment of this process with
// `env` ("NAME=value") set on top, standard input from /dev/null and
// standard error shared; waits until it ends (killed after timeoutMs).
ChildRun runChild(const QString& program, const QStringList& args, const QStringList& env, int timeoutMs = 300000);

// The times of several tries of one figure, and the highest peak memory.
struct Samples {
  std::vector<double> ms;
  long peakKiB = -1;
  void add(double v) { ms.push_back(v); }
  bool empty() const { return ms.empty(); }
  double min() const;
  double median() const;
};

// An Xvfb of this run, for windows on a real window system without a
// screen. Absent (start() false) where Xvfb is not installed.
class VirtualScreen {
 public:
  ~VirtualScreen();
  bool start();
  void stop();
  QString display() const { return display_; }  // ":N"

 private:
  QProcess server_;
  QString display_;
};
