#pragma once
// The figures of every order line, kept between the reports that read all
// lines (the sales ranking, the products-in-orders list and its search):
// each line's order (the first Order row of its number), its place among
// the lines of its number, its product (name and category) and its
// quantity, price times quantity and cost times quantity as exact whole
// numbers of millionths. Made by the first report; after lines or orders
// were added, changed or removed, only those are worked out again (the
// tables' logs of changes tell which), so a report reads no cell text of a
// line it does not show.
//
//   const auto figures = LineFigures::of(db);
//   for (int l = 1; l <= figures->lineCount(); ++l) {
//     const LineFigures::Line& f = figures->line(l);
//     if (f.order && f.exact) qty += f.qty;  // else read the cells
//   }
#include <QHash>
#include <QString>
#include <cstdint>
#include <memory>
#include <vector>

#include "store/HugePageAllocator.h"

class Database;
class Table;

class LineFigures {
 public:
  // Figures are whole numbers of millionths. A figure below kBound (in
  // magnitude) has at most 15 significant digits, as a text cell holds it.
  static constexpr int64_t kUnit = 1000000;
  static constexpr int64_t kBound = 1000000000000000;

  struct Line {
    int64_t qty = 0;    // LineQty
    int64_t sales = 0;  // LinePrice × LineQty
    int64_t cost = 0;   // LineCost × LineQty
    int order = 0;      // the first Order row of the line's number; 0 when there is none
    int product = 0;    // the line's product (its name and category), from 1
    int place = 0;      // its place among the Stock rows of its number, from 1 (0 without an order)
    bool exact = false; // the three figures are the cells' values exactly, each below kBound; else read the cells
  };
  struct Product {
    QString name;
    QString category;
    int categoryNumber = 0;
  };

  // The figures of the database's Stock and Order as they are now: those
  // kept from the last call, brought up to date, or made now. One call at a
  // time works them out; what it returns stays as it is while it is held
  // (a later call that changes figures works on a copy then) and may be
  // read on several threads.
  static std::shared_ptr<const LineFigures> of(const Database& db);
  // The figures made from the tables alone, kept nowhere (what of() must
  // give, for comparisons).
  static std::shared_ptr<const LineFigures> madeAnew(const Database& db);

  int lineCount() const { return static_cast<int>(lines_.size()); }
  // Stock row `line`, from 1.
  const Line& line(int line) const { return lines_[static_cast<size_t>(line - 1)]; }
  int productCount() const { return static_cast<int>(products_.size()); }
  const Product& product(int p) const { return products_[static_cast<size_t>(p - 1)]; }
  // The number of a category text among the lines' categories; -1 when no
  // line ever had it.
  int categoryNumber(const QString& text) const { return categoryNumbers_.value(text, -1); }
  int categoryCount() const { return static_cast<int>(categories_.size()); }
  // The order of every line (element line - 1), for lists that show lines
  // after the figures have moved on: a later change copies it first while a
  // list still holds it.
  using Joins = std::vector<int, HugePageAllocator<int>>;
  std::shared_ptr<const Joins> joins() const { return joins_; }
  const QString& categoryText(int n) const { return categories_[static_cast<size_t>(n)]; }

  // A figure (or a sum of figures below kBound) as plain number text, as
  // Decimal::toText writes it.
  static QString text(int64_t millionths);

  LineFigures() = default;
  LineFigures(const LineFigures&) = default;

 private:
  // Products by their name and category number: entries of (32 bits of the
  // key's hash, product), kParts parts by the hash's low bits, each at most
  // two thirds full.
  struct KeySlot {
    uint32_t tag = 0;
    int product = 0;  // 0: free
  };
  struct KeyPart {
    std::vector<KeySlot> entries;
    size_t used = 0;
  };
  static constexpr size_t kParts = 16;
  static uint64_t productHash(const QString& name, int categoryNumber);
  // The product of that key in its part; 0 when none. Inserts `product`
  // when it is not 0 and the key is missing.
  int findOrAdd(KeyPart& part, uint64_t h, const QString& name, int categoryNumber, int product);

  void makeAll(const Table& stock, const Table& order);
  // Brings the figures up to date; false when they must be made anew.
  bool update(const Table& stock, const Table& order);
  void joinAll(const Table& stock, const Table& order);
  void countPlaces();
  void copyJoins();
  // Money figures and product of Stock row `line`.
  void readLine(const Table& stock, int line);
  int productFor(const QString& name, const QString& category);
  int categoryFor(const QString& text);

  const Table* stock_ = nullptr;
  const Table* order_ = nullptr;
  uint64_t stockVersion_ = 0;
  uint64_t orderVersion_ = 0;
  std::vector<Line, HugePageAllocator<Line>> lines_;
  std::vector<Product> products_;
  std::vector<KeyPart> keyParts_;
  std::vector<QString> categories_;     // by number
  QHash<QString, int> categoryNumbers_;
  std::vector<uint64_t> orderKeyHash_;  // by Order row (0 unused): the hash of its number
  std::vector<int> linesOfOrder_;       // by Order row (0 unused): the lines joined to it
  std::vector<int> unjoined_;           // the lines without an order, ascending
  std::shared_ptr<Joins> joins_;
};
