#pragma once
// Benchmark cases of the windows and commands. Each area adds a file
// bench/<Area>Bench.cpp with its cases; kestrin_bench runs them after the
// load, save and order-list figures, on the same loaded synthetic database.
//
//   KESTRIN_BENCH(ProductSearch) {
//     ManufSearchInput in{...};
//     const double ms = ctx.bestMs([&] { (void)searchProducts(ctx.db, in); });
//     ctx.report("product search, 20k products", ms, ctx.scanMs, "one pass over Order", 50);
//   }
//
// A case that changes tables works on a copy (Database copy = ctx.db;).
#include <QString>
#include <functional>

class Database;
class Prompt;

struct BenchContext {
  Database& db;     // the loaded synthetic database
  Prompt& prompt;   // answers nothing, prints messages to stderr
  QString dbDir;    // its folder, ending in "/" (read only)
  QString workDir;  // a scratch folder of this run, ending in "/"
  double scale = 1;
  int repeat = 3;
  double scanMs = 0;  // one pass reading every cell of Order: the common baseline

  // Best time of `repeat` runs, in milliseconds.
  double bestMs(const std::function<void()>& f) const;
  // One line "<name> <ms> ms <ratio>x of <baseline>", with the target (ms,
  // 0 for none) after it. The target holds at the synthetic database's size
  // (--scale 1); one of at most 100 ms (a list, search or report) holds as
  // 100 ms at four times that size (--scale 4) too. Targets are listed again
  // at the end of the run.
  void report(const QString& name, double ms, double baseMs, const QString& baseName, double targetMs = 0) const;
};

// Every list, sort, filter switch, search and report a user waits for in a
// window stays under this at --scale 4.
constexpr double kWindowTargetMs = 100;

// The targets of the figures. Each holds at one scale of the synthetic
// database (most at --scale 4); the end of a run lists every target noted,
// its figure, and whether it was met when the run was at that scale.
struct BenchTarget {
  QString figure;
  double value = 0;
  double limit = 0;   // the figure must stay below it (or at it, for ratios)
  QString unit;       // "ms", "MiB" or "x" (of its baseline)
  double scale = 4;   // 0: at every scale
  // A time or an amount stays below its limit; a ratio may reach it.
  bool met() const { return unit == QStringLiteral("x") ? value <= limit : value < limit; }
  // ": met" or ": NOT met" where the run is at the target's scale, else "".
  QString verdict(double runScale) const;
};
void noteTarget(const BenchTarget& t);
// The list of targets, each marked met or not where the run is at its scale.
void printTargets(double runScale);

using BenchFunction = void (*)(BenchContext&);
struct BenchRegistration {
  BenchRegistration(const char* name, BenchFunction f);
};
// Every registered case, in file and registration order.
void runRegisteredBenches(BenchContext& ctx, const QString& only);

#define KESTRIN_BENCH(ident)                                                  \
  static void kestrinBench_##ident(BenchContext& ctx);                         \
  static const BenchRegistration kestrinBenchReg_##ident(#ident, kestrinBench_##ident); \
  static void kestrinBench_##ident(BenchContext& ctx)
