#include <gtest/gtest.h>

#include "models/OrderLineTools.h"
#include "store/Database.h"
#include "store/Table.h"

namespace {

OrderLines named(std::initializer_list<const char*> names) {
  OrderLines lines;
  for (const char* n : names) {
    OrderLine l;
    l.name = n;
    lines.push_back(l);
  }
  return lines;
}

QString namesOf(const OrderLines& lines) {
  QString s;
  for (const auto& l : lines) s += l.name;
  return s;
}

TEST(OrderLineTools, DeleteGivesStockBackToTheFirstProduct) {
  Table manuf(ManufCell::Count);
  for (const char* stock : {"5", "100"}) {
    const int r = manuf.append("A");
    manuf.setCell(r, ManufCell::ProductCategory, "x");
    manuf.setCell(r, ManufCell::ProductStock, stock);
  }
  OrderLines lines = named({"A", "A", "B", "A"});
  for (auto& l : lines) l.category = "x", l.qty = "1.5";
  lines[1].qty = "2";
  lines[3].category = "gone";  // no product: nothing given back
  std::vector<bool> sel{true, true, false, true};
  ASSERT_TRUE(OrderLineTools::deleteSelected(lines, sel, manuf));
  EXPECT_EQ(manuf.cell(1, ManufCell::ProductStock), "8.5");
  EXPECT_EQ(manuf.cell(2, ManufCell::ProductStock), "100");
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].name, "B");
  EXPECT_EQ(lines[0].shortage, "..");
  EXPECT_EQ(sel, std::vector<bool>{false});

  // Nothing selected: nothing removed, marks still written.
  lines[0].shortage.clear();
  sel = {false};
  EXPECT_TRUE(OrderLineTools::deleteSelected(lines, sel, manuf));
  EXPECT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].shortage, "..");
  OrderLines none;
  std::vector<bool> noSel;
  EXPECT_FALSE(OrderLineTools::deleteSelected(none, noSel, manuf));
}

TEST(OrderLineTools, MoveSelectedRows) {
  struct Case {
    const char* what;
    const char* before;
    std::vector<bool> sel;
    bool up;
    const char* after;
    std::vector<bool> selAfter;
  };
  const std::vector<Case> cases = {
      {"one row does not move", "a", {true}, true, "a", {true}},
      {"block at the top stays", "abcd", {true, true, false, false}, true, "abcd", {true, true, false, false}},
      {"block moves down as a whole", "abcd", {false, true, true, false}, false, "adbc", {false, false, true, true}},
      {"scattered up", "abcd", {true, false, true, false}, true, "acbd", {true, true, false, false}},
      {"block at the bottom stays", "abcd", {false, false, true, true}, false, "abcd", {false, false, true, true}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    OrderLines lines;
    for (QChar ch : QString(c.before)) {
      OrderLine l;
      l.name = ch;
      l.ticked = ch == u'b';  // the tick travels with its line
      lines.push_back(l);
    }
    auto sel = c.sel;
    OrderLineTools::moveSelected(lines, sel, c.up);
    EXPECT_EQ(namesOf(lines), c.after);
    EXPECT_EQ(sel, c.selAfter);
    for (const auto& l : lines) EXPECT_EQ(l.ticked, l.name == "b");
  }
}

TEST(OrderLineTools, SortIsByTextAndStable) {
  OrderLines lines = named({"9a", "10", "9a", "B"});
  lines[0].category = "2", lines[1].category = "1", lines[2].category = "1", lines[3].category = "0";
  lines[0].note = "first";
  lines[2].ticked = true;
  std::vector<bool> sel{false, false, true, false};
  OrderLineTools::sortLines(lines, sel, false);
  EXPECT_EQ(namesOf(lines), "109a9aB");
  EXPECT_EQ(lines[1].note, "first");
  EXPECT_TRUE(lines[2].ticked);
  EXPECT_EQ(sel, (std::vector<bool>{false, false, true, false}));
  OrderLineTools::sortLines(lines, sel, true);
  EXPECT_EQ(namesOf(lines), "B109a9a");
  EXPECT_TRUE(lines[2].ticked);
  EXPECT_TRUE(sel[2]);
}

TEST(OrderLineTools, TicksAndDateMarks) {
  const QDate day(2024, 3, 5);
  OrderLine l;
  OrderLineTools::userTicked(l, true, true, day);
  EXPECT_EQ(l.note, "*2024/03/05 ");
  OrderLineTools::userTicked(l, false, true, day);
  EXPECT_EQ(l.note, "2024/03/05 ");
  OrderLineTools::userTicked(l, false, true, day);  // no leading "*": unchanged
  EXPECT_EQ(l.note, "2024/03/05 ");
  l.note = "gift";
  OrderLineTools::userTicked(l, true, false, day);  // mark off: note unchanged
  EXPECT_TRUE(l.ticked);
  EXPECT_EQ(l.note, "gift");

  OrderLines lines(3);
  lines[0].note = "old";
  lines[1].note = "*kept";
  lines[1].ticked = true;
  OrderLineTools::tickSelected(lines, {true, true, false}, true, day);
  EXPECT_EQ(lines[0].note, "*2024/03/05old ");
  EXPECT_EQ(lines[1].note, "*kept");
  EXPECT_FALSE(lines[2].ticked);
  OrderLineTools::untickSelected(lines, {true, true, true}, true);
  EXPECT_EQ(lines[0].note, "2024/03/05old ");
  EXPECT_EQ(lines[1].note, "kept");
  for (const auto& x : lines) EXPECT_FALSE(x.ticked);
}

TEST(OrderLineTools, WebAddressesOpenOnlyHttp) {
  EXPECT_EQ(OrderLineTools::webAddress("https://shop.example/item?1").toString(), "https://shop.example/item?1");
  EXPECT_EQ(OrderLineTools::webAddress(" www.example.com/a ").toString(), "http://www.example.com/a");
  for (const char* bad : {"", "file:///etc/passwd", "javascript:alert(1)", "ftp://x.example/", "mailto:a@b.c",
                          "/usr/bin/xterm", "http://"}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(OrderLineTools::webAddress(bad).isValid());
  }
}

TEST(OrderLineTools, PicturePath) {
  Database db;
  db.DataBasePath = "/data/shop/";
  auto add = [&](const char* name, const char* cat, const char* path) {
    const int r = db.Images.append(name);
    db.Images.setCell(r, ImagesCell::ImageCategory, cat);
    db.Images.setCell(r, ImagesCell::ImagePath, path);
  };
  add("A", "x", "<DataBasePath>pics\\a.jpg");
  add("B", "x", "");
  EXPECT_EQ(OrderLineTools::picturePath(db, "A", "x"), "/data/shop/pics/a.jpg");
  EXPECT_EQ(OrderLineTools::picturePath(db, "A", "y"), "");
  EXPECT_EQ(OrderLineTools::picturePath(db, "B", "x"), "");
}

}  // namespace
