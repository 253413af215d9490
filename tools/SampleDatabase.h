#pragma once
// A small database of this year for screenshots: three customers, a few
// products with purchase records, six orders with their lines, two
// suppliers and a few expenses.

class Database;

void fillSampleDatabase(Database& db);
