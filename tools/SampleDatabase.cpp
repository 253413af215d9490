#include "SampleDatabase.h"

#include <QDate>

#include "store/Database.h"

namespace {

void addRow(Table& t, const QStringList& cells) {
  const int r = t.append(cells.first());
  for (int c = 1; c < cells.size(); ++c) t.setCell(r, c, cells[c]);
}

}  // namespace

void fillSampleDatabase(Database& db) {
  const QString year = QString::number(QDate::currentDate().year());
  // "Y/" stands for this year, "N" for the two digits of the year in order numbers.
  auto text = [&year](const char* t) {
    return QString::fromUtf8(t).replace(QStringLiteral("Y/"), year + u'/').replace(u'N', year.right(2));
  };
  auto row = [&text](Table& t, std::initializer_list<const char*> cells) {
    QStringList list;
    for (const char* c : cells) list << text(c);
    addRow(t, list);
  };
  const QChar sep(1);  // between a customer's name and sex

  db.settings.CustomerCategories = {QStringLiteral("露天拍賣"), QStringLiteral("Yahoo拍賣"), QStringLiteral("蝦皮購物")};
  db.settings.ProductCategories = {QStringLiteral("餐具"), QStringLiteral("文具")};
  db.settings.ExpenseCategories = {QStringLiteral("運費"), QStringLiteral("包材")};
  db.settings.SupplierNames = {QStringLiteral("大同陶瓷行"), QStringLiteral("文具批發王")};
  db.settings.SupplierDetails = {QStringLiteral("02-2771-0000 林先生"), QStringLiteral("04-2222-0000")};
  db.settings.NoteShopInfo = QStringLiteral("<b>青鳥小舖</b>\r\n電話：02-2345-0000\r\n感謝您的購買！");

  addRow(db.Guest, {QStringLiteral("tea_lover"), QStringLiteral("露天拍賣"), QStringLiteral("王小明") + sep + QStringLiteral("男"),
                    QStringLiteral("02-2345-6789"), QStringLiteral("0912-345-678"), QStringLiteral("ming@example.com"),
                    QStringLiteral("台北市中正區重慶南路一段 1 號"), QStringLiteral("12345"), QStringLiteral("老客戶")});
  addRow(db.Guest, {QStringLiteral("許功蓋"), QStringLiteral("Yahoo拍賣"), QStringLiteral("許功蓋") + sep + QStringLiteral("男"),
                    QString(), QStringLiteral("0933-111-222"), QStringLiteral("hsu@example.com"),
                    QStringLiteral("台中市西區民生路 20 號"), QString(), QString()});
  addRow(db.Guest, {QStringLiteral("shop_amy"), QStringLiteral("蝦皮購物"), QStringLiteral("陳美惠") + sep + QStringLiteral("女"),
                    QStringLiteral("07-555-1234"), QStringLiteral("0988-765-432"), QStringLiteral("amy@example.com"),
                    QStringLiteral("高雄市苓雅區四維三路 2 號"), QStringLiteral("67890"), QString()});

  // Name, category, price, cost, stock, note, safety stock, weight.
  row(db.Manuf, {"青花茶杯", "餐具", "350", "180", "12", "手繪青花", "5", "0.3"});
  row(db.Manuf, {"竹筷組", "餐具", "120", "45", "1", "五雙一組", "3", "0.1"});
  row(db.Manuf, {"馬克杯", "餐具", "280", "120", "8", "", "2", "0.4"});
  row(db.Manuf, {"鋼筆", "文具", "880", "520", "3", "德國筆尖", "1", "0.05"});
  row(db.Manuf, {"筆記本", "文具", "95", "40", "25", "A5 方格", "10", "0.2"});

  // Number, date, account, category, fee, receivable, payment, shipping,
  // note, cost, seller pays the fee.
  row(db.Order, {"N03000001", "Y/01/05", "tea_lover", "露天拍賣", "60", "760", "Y/01/06 已給", "寄郵局 Y/01/07", "", "360", "0"});
  row(db.Order, {"N03000002", "Y/02/11", "許功蓋", "Yahoo拍賣", "0", "120", "未匯款", "未出貨", "週末前寄出", "45", "0"});
  row(db.Order, {"N03000003", "Y/02/14", "shop_amy", "蝦皮購物", "45", "925", "Y/02/15", "未出貨", "", "520", "0"});
  row(db.Order, {"N03000004", "Y/03/02", "tea_lover", "露天拍賣", "60", "410", "未匯款", "未出貨", "", "180", "0"});
  row(db.Order, {"N03000005", "Y/03/09", "shop_amy", "蝦皮購物", "45", "165", "Y/03/09", "寄宅配 Y/03/10", "", "45", "0"});
  row(db.Order, {"N03000006", "Y/03/12", "tea_lover", "露天拍賣", "60", "2000", "未匯款", "寄郵局 未出貨", "請用氣泡紙包好", "1015", "0"});
  // Order number, name, category, price, cost, quantity, note, web address, weight.
  row(db.Stock, {"N03000001", "青花茶杯", "餐具", "350", "180", "2", "", "", "0.3"});
  row(db.Stock, {"N03000002", "竹筷組", "餐具", "120", "45", "1", "", "", "0.1"});
  row(db.Stock, {"N03000003", "鋼筆", "文具", "880", "520", "1", "", "", "0.05"});
  row(db.Stock, {"N03000004", "青花茶杯", "餐具", "350", "180", "1", "", "", "0.3"});
  row(db.Stock, {"N03000005", "竹筷組", "餐具", "120", "45", "1", "", "", "0.1"});
  row(db.Stock, {"N03000006", "青花茶杯", "餐具", "350", "180", "2", "*Y/03/12 ", "", "0.3"});
  row(db.Stock, {"N03000006", "竹筷組", "餐具", "120", "45", "3", "", "", "0.1"});
  row(db.Stock, {"N03000006", "鋼筆", "文具", "880", "520", "1", "附墨水", "", "0.05"});

  // Date, product, kind, quantity, supplier, purchase-order number, unit amount.
  row(db.ManufStock, {"Y/01/02", "青花茶杯", "進貨", "10", "大同陶瓷行", "P0102", "170", "", "", ""});
  row(db.ManufStock, {"Y/02/20", "青花茶杯", "進貨", "6", "大同陶瓷行", "P0220", "195", "", "", "新款釉色"});
  row(db.ManufStock, {"Y/02/25", "青花茶杯", "退貨", "1", "大同陶瓷行", "P0220", "195", "", "", "杯口破損"});
  row(db.ManufStock, {"Y/02/20", "鋼筆", "進貨", "4", "文具批發王", "B0220", "520", "", "", ""});

  row(db.Expend, {"Y/03/01", "包材", "氣泡紙", "150", ""});
  row(db.Expend, {"Y/03/05", "運費", "郵局寄件", "240", "四件"});
  row(db.Expend, {"Y/03/10", "包材", "紙箱 20 個", "300", ""});
}
