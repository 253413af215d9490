#include "SyntheticDatabase.h"

#include <QDate>
#include <random>

#include "platform/Numbers.h"

SyntheticSize SyntheticSize::scaled(double f) const {
  SyntheticSize s = *this;
  s.orders = static_cast<int>(orders * f);
  s.products = static_cast<int>(products * f);
  s.customers = static_cast<int>(customers * f);
  s.purchases = static_cast<int>(purchases * f);
  s.expenses = static_cast<int>(expenses * f);
  return s;
}

namespace {
const QStringList kSites = {QStringLiteral("露天拍賣"), QStringLiteral("蝦皮拍賣"), QStringLiteral("Yahoo拍賣")};
const QStringList kWords = {QStringLiteral("復古"), QStringLiteral("手工"), QStringLiteral("陶瓷"), QStringLiteral("茶杯"),
                            QStringLiteral("玻璃"), QStringLiteral("木製"), QStringLiteral("收納盒"), QStringLiteral("餐具"),
                            QStringLiteral("許功蓋"), QStringLiteral("髮夾"), QStringLiteral("筆記本"), QStringLiteral("毛巾")};
const QStringList kSurnames = {QStringLiteral("王"), QStringLiteral("李"), QStringLiteral("張"), QStringLiteral("陳"),
                               QStringLiteral("林"), QStringLiteral("黃"), QStringLiteral("許")};
const QStringList kGiven = {QStringLiteral("小明"), QStringLiteral("美玲"), QStringLiteral("志豪"), QStringLiteral("淑芬"),
                            QStringLiteral("家豪"), QStringLiteral("怡君")};
const QStringList kCities = {QStringLiteral("台北市中正區重慶南路一段"), QStringLiteral("新北市板橋區文化路二段"),
                             QStringLiteral("台中市西屯區台灣大道三段"), QStringLiteral("高雄市前鎮區中山二路")};
}  // namespace

void buildSyntheticDatabase(Database& db, const SyntheticSize& size, unsigned seed) {
  std::mt19937 rng(seed);
  auto pick = [&](const QStringList& l) -> const QString& { return l[static_cast<int>(rng() % l.size())]; };
  auto num = [&](int lo, int hi) { return lo + static_cast<int>(rng() % static_cast<unsigned>(hi - lo + 1)); };

  auto& s = db.settings;
  // The order-number counter as a busy month leaves it.
  db.NumStr = QDate::currentDate().toString(QStringLiteral("yyMM"));
  db.num = 1;
  s.CustomerCategories = kSites;
  for (int i = 1; i <= 40; ++i) s.ProductCategories << QStringLiteral("分類%1").arg(i);
  s.ExpenseCategories = {QStringLiteral("運費"), QStringLiteral("包材"), QStringLiteral("手續費")};

  db.Manuf.reserve(size.products);
  for (int i = 1; i <= size.products; ++i) {
    const int r = db.Manuf.append(pick(kWords) + pick(kWords) + QString::number(i));
    db.Manuf.setCell(r, ManufCell::ProductCategory, s.ProductCategories[i % s.ProductCategories.size()]);
    db.Manuf.setCell(r, ManufCell::ProductPrice, QString::number(num(50, 3000)));
    db.Manuf.setCell(r, ManufCell::ProductCost, Num::format(num(2000, 150000) / 100.0));
    db.Manuf.setCell(r, ManufCell::ProductStock, QString::number(num(-5, 200)));
    db.Manuf.setCell(r, ManufCell::ProductNote, i % 5 == 0 ? QStringLiteral("限量,勿折\r\n第二行") : QString());
    db.Manuf.setCell(r, ManufCell::SafetyStock, QString::number(num(0, 10)));
    db.Manuf.setCell(r, ManufCell::ProductWeight, Num::format(num(1, 3000) / 1000.0));
    if (i % 4 == 0) {
      const int p = db.Images.append(db.Manuf.key(r));
      db.Images.setCell(p, 1, db.Manuf.cell(r, 1));
      db.Images.setCell(p, 2, QStringLiteral("<DataBasePath>pic/%1.jpg").arg(i));
    }
  }

  db.Guest.reserve(size.customers);
  for (int i = 1; i <= size.customers; ++i) {
    const int r = db.Guest.append(QStringLiteral("buyer%1").arg(i));
    db.Guest.setCell(r, GuestCell::CustomerCategory, kSites[i % kSites.size()]);
    db.Guest.setCell(r, GuestCell::CustomerNameSex, pick(kSurnames) + pick(kGiven) + QChar(1) + (i % 2 ? QStringLiteral("男") : QStringLiteral("女")));
    db.Guest.setCell(r, GuestCell::CustomerPhone, QStringLiteral("02-%1").arg(num(20000000, 29999999)));
    db.Guest.setCell(r, GuestCell::CustomerMobile, QStringLiteral("09%1").arg(num(10000000, 99999999)));
    db.Guest.setCell(r, GuestCell::CustomerEmail, QStringLiteral("buyer%1@example.com.tw").arg(i));
    db.Guest.setCell(r, GuestCell::CustomerAddress, pick(kCities) + QString::number(num(1, 300)) + QStringLiteral("號"));
    db.Guest.setCell(r, GuestCell::BankLast5, QString::number(num(10000, 99999)));
  }

  const QDate start(2019, 1, 1);
  db.Order.reserve(size.orders);
  db.Stock.reserve(size.orders * size.linesPerOrder);
  for (int i = 1; i <= size.orders; ++i) {
    const QDate d = start.addDays(i * 2500 / std::max(1, size.orders));
    const QString no = d.toString(QStringLiteral("yyMM")) + QStringLiteral("%1").arg(i, 6, 10, QChar(u'0'));
    const int g = num(1, size.customers);
    const int r = db.Order.append(no);
    const bool shipped = i < size.orders * 9 / 10;
    double goods = 0, cost = 0;
    for (int k = 0; k < size.linesPerOrder; ++k) {
      const int p = num(1, size.products);
      const int qty = num(1, 3);
      const int l = db.Stock.append(no);
      db.Stock.setCell(l, StockCell::LineName, db.Manuf.key(p));
      db.Stock.setCell(l, StockCell::LineCategory, db.Manuf.cell(p, 1));
      db.Stock.setCell(l, StockCell::LinePrice, db.Manuf.cell(p, 2));
      db.Stock.setCell(l, StockCell::LineCost, db.Manuf.cell(p, 3));
      db.Stock.setCell(l, StockCell::LineQty, QString::number(qty));
      db.Stock.setCell(l, StockCell::LineWeight, db.Manuf.cell(p, 7));
      goods += Num::leading(db.Manuf.cell(p, 2)) * qty;
      cost += Num::leading(db.Manuf.cell(p, 3)) * qty;
    }
    const QString date = DateText::format(d);
    db.Order.setCell(r, OrderCell::OrderDate, date);
    db.Order.setCell(r, OrderCell::BuyerAccount, db.Guest.key(g));
    db.Order.setCell(r, OrderCell::BuyerCategory, db.Guest.cell(g, 1));
    db.Order.setCell(r, OrderCell::ShippingFee, QStringLiteral("60"));
    db.Order.setCell(r, OrderCell::Receivable, Num::format(goods + 60));
    db.Order.setCell(r, OrderCell::PaymentState, shipped ? date + QStringLiteral(" 已給") : QStringLiteral("未匯款"));
    db.Order.setCell(r, OrderCell::ShippingState, shipped ? QStringLiteral("寄郵局 ") + date : QStringLiteral("未出貨"));
    db.Order.setCell(r, OrderCell::OrderNote, i % 7 == 0 ? QStringLiteral("請小心包裝,謝謝") : QString());
    db.Order.setCell(r, OrderCell::OrderCost, Num::format(cost));
    db.Order.setCell(r, OrderCell::SellerPaysShipping, QStringLiteral("0"));
  }

  for (int i = 1; i <= size.purchases; ++i) {
    const int p = num(1, std::max(1, size.products));
    const int r = db.ManufStock.append(DateText::format(start.addDays(i % 2500)));
    db.ManufStock.setCell(r, ManufStockCell::PurchaseProduct, db.Manuf.key(p));
    db.ManufStock.setCell(r, ManufStockCell::PurchaseKind, i % 20 == 0 ? QStringLiteral("退貨") : QStringLiteral("進貨"));
    db.ManufStock.setCell(r, ManufStockCell::PurchaseQty, QString::number(num(1, 50)));
    db.ManufStock.setCell(r, ManufStockCell::PurchaseSupplier, QStringLiteral("廠商1"));
    db.ManufStock.setCell(r, ManufStockCell::PurchaseNo, QStringLiteral("P%1").arg(i));
    db.ManufStock.setCell(r, ManufStockCell::PurchaseAmount, db.Manuf.cell(p, 3));
  }

  for (int i = 1; i <= size.expenses; ++i) {
    const int r = db.Expend.append(DateText::format(start.addDays(i % 2500)));
    db.Expend.setCell(r, ExpendCell::ExpendCategory, pick(s.ExpenseCategories));
    db.Expend.setCell(r, ExpendCell::ExpendDetail, QStringLiteral("郵票、紙箱"));
    db.Expend.setCell(r, ExpendCell::ExpendAmount, QString::number(num(10, 900)));
  }
  db.ExpendDirty = true;
}
