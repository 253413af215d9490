#pragma once
// A synthetic database of a busy seller, for benchmarks.
#include "store/Database.h"

struct SyntheticSize {
  int orders = 100000;
  int linesPerOrder = 3;  // 300k lines
  int products = 20000;
  int customers = 50000;
  int purchases = 20000;
  int expenses = 10000;
  SyntheticSize scaled(double f) const;
};

// Fills the tables and category lists of db (which must be empty).
void buildSyntheticDatabase(Database& db, const SyntheticSize& size, unsigned seed = 1);
