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
  // 0 for none) after it.
  void report(const QString& name, double ms, double baseMs, const QString& baseName, double targetMs = 0) const;
};

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
