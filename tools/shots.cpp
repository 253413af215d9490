// Screenshots of the standard dialogs and the main window as a seller sees
// them (Traditional Chinese translations loaded), the main window also with
// a small database, each of its menus open and its list's popup, for
// checking by eye:
//   tools/screenshots.sh [OUTDIR]
// Runs on the offscreen platform with a scratch home folder.
#include <QAction>
#include <QApplication>
#include <QDate>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QToolBar>
#include <QDir>
#include <QFileDialog>
#include <QIcon>
#include <QInputDialog>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>

#include "mainwindow/OrderForm.h"
#include "platform/QtPrompt.h"
#include "platform/ListView.h"
#include "platform/Translations.h"
#include "store/Database.h"

namespace {
QString out;

void settle() {
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
}

void savePicture(const QPixmap& picture, const QString& name) {
  const QString path = out + name + QStringLiteral(".png");
  picture.save(path);
  std::printf("%s\n", path.toLocal8Bit().constData());
}

// The window with one of its menus open at a screen position, drawn over it.
void shootMenu(QWidget& window, QMenu& menu, const QPoint& at, const QString& name) {
  menu.popup(at);
  settle();
  QPixmap shot = window.grab();
  {
    QPainter p(&shot);
    p.drawPixmap(window.mapFromGlobal(menu.pos()), menu.grab());
  }
  menu.hide();
  savePicture(shot, name);
}

// A few customers, products, orders and expenses of this year.
void fillSample(Database& db) {
  const QString year = QString::number(QDate::currentDate().year());
  db.settings.CustomerCategories = {QStringLiteral("露天拍賣"), QStringLiteral("Yahoo拍賣"), QStringLiteral("蝦皮購物")};
  db.settings.ProductCategories = {QStringLiteral("餐具"), QStringLiteral("文具")};
  db.settings.ExpenseCategories = {QStringLiteral("運費"), QStringLiteral("包材")};
  auto row = [](Table& t, const QStringList& cells) {
    const int r = t.append(cells.first());
    for (int c = 1; c < cells.size(); ++c) t.setCell(r, c, cells[c]);
  };
  row(db.Guest, {QStringLiteral("tea_lover"), QStringLiteral("露天拍賣"), QStringLiteral("王小明") + QChar(1) + QStringLiteral("男"),
                 QStringLiteral("02-2345-6789"), QStringLiteral("0912-345-678"), QStringLiteral("ming@example.com"),
                 QStringLiteral("台北市中正區重慶南路一段 1 號")});
  row(db.Guest, {QStringLiteral("許功蓋"), QStringLiteral("Yahoo拍賣"), QStringLiteral("許功蓋")});
  row(db.Guest, {QStringLiteral("shop_amy"), QStringLiteral("蝦皮購物"), QStringLiteral("陳美惠") + QChar(1) + QStringLiteral("女")});
  row(db.Manuf, {QStringLiteral("青花茶杯"), QStringLiteral("餐具"), QStringLiteral("350"), QStringLiteral("180"), QStringLiteral("12")});
  row(db.Manuf, {QStringLiteral("竹筷組"), QStringLiteral("餐具"), QStringLiteral("120"), QStringLiteral("45"), QStringLiteral("1")});
  row(db.Manuf, {QStringLiteral("鋼筆"), QStringLiteral("文具"), QStringLiteral("880"), QStringLiteral("520"), QStringLiteral("3")});
  struct Order {
    const char *no, *date, *account, *category, *fee, *receivable, *paid, *shipped, *note, *cost;
  };
  const Order orders[] = {
      {"03000001", "Y/01/05", "tea_lover", "露天拍賣", "60", "760", "Y/01/06 已給", "郵局 Y/01/07", "", "360"},
      {"03000002", "Y/02/11", "許功蓋", "Yahoo拍賣", "0", "120", "未匯款", "未出貨", "週末前寄出", "45"},
      {"03000003", "Y/02/14", "shop_amy", "蝦皮購物", "45", "925", "Y/02/15", "未出貨", "", "520"},
      {"03000004", "Y/03/02", "tea_lover", "露天拍賣", "60", "410", "未匯款", "未出貨", "", "180"},
      {"03000005", "Y/03/09", "shop_amy", "蝦皮購物", "45", "165", "Y/03/09", "7-11 Y/03/10", "", "45"},
  };
  auto text = [&year](const char* t) { return QString::fromUtf8(t).replace(QStringLiteral("Y/"), year + u'/'); };
  for (const Order& o : orders)
    row(db.Order, {year.right(2) + text(o.no), text(o.date), text(o.account), text(o.category), text(o.fee),
                   text(o.receivable), text(o.paid), text(o.shipped), text(o.note), text(o.cost), QStringLiteral("0")});
  const char* lines[][4] = {{"03000002", "竹筷組", "120", "45"}, {"03000003", "鋼筆", "880", "520"},
                            {"03000004", "青花茶杯", "350", "180"}};
  for (const auto& l : lines)
    row(db.Stock, {year.right(2) + text(l[0]), text(l[1]), QStringLiteral("餐具"), text(l[2]), text(l[3]),
                   QStringLiteral("1")});
  row(db.Expend, {year + QStringLiteral("/03/01"), QStringLiteral("包材"), QStringLiteral("氣泡紙"), QStringLiteral("150")});
}

void shoot(QWidget& w, const QString& name) {
  w.show();
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
  const QString path = out + name + QStringLiteral(".png");
  w.grab().save(path);
  std::printf("%s\n", path.toLocal8Bit().constData());
  w.hide();
}
}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QCoreApplication::setOrganizationName(QStringLiteral("Kestrin"));
  QCoreApplication::setApplicationName(QStringLiteral("Kestrin"));
  out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("shots");
  if (!out.endsWith(u'/')) out += u'/';
  QDir().mkpath(out);
  if (!Translations::install(app)) std::fprintf(stderr, "Qt's zh_TW translations are not installed\n");
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/kestrin.png")));

  QMessageBox question(QMessageBox::Warning, QStringLiteral("Kestrin"), QStringLiteral("結束前要儲存資料嗎？"),
                       QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  shoot(question, QStringLiteral("message-yes-no-cancel"));
  QMessageBox ok(QMessageBox::Information, QStringLiteral("Kestrin"), QStringLiteral("匯出CSV完成!"),
                 QMessageBox::Ok | QMessageBox::Cancel);
  shoot(ok, QStringLiteral("message-ok-cancel"));
  QInputDialog input;
  input.setWindowTitle(QStringLiteral("Kestrin"));
  input.setLabelText(QStringLiteral("請輸入匯率"));
  shoot(input, QStringLiteral("input-box"));
  QFileDialog save(nullptr, QStringLiteral("儲存檔案"), QDir::homePath(), QStringLiteral("CSV 檔案 (*.csv)"));
  save.setAcceptMode(QFileDialog::AcceptSave);
  save.setOption(QFileDialog::DontUseNativeDialog);
  shoot(save, QStringLiteral("file-save"));

  OrderForm window;
  window.resize(1100, 700);
  shoot(window, QStringLiteral("main-window-empty"));

  // The main window on a small database in the program folder (a scratch
  // home), then each of its menus opened, the list's popup and the toolbar.
  window.Form_Load();
  fillSample(window.db());
  window.refillCombo1();
  window.setWindowState(Qt::WindowNoState);
  window.resize(1100, 700);
  window.show();
  settle();
  savePicture(window.grab(), QStringLiteral("main-window"));
  for (QAction* bar : window.menuBar()->actions()) {
    QMenu* menu = bar->menu();
    const QRect title = window.menuBar()->actionGeometry(bar);
    shootMenu(window, *menu, window.menuBar()->mapToGlobal(title.bottomLeft()),
              QStringLiteral("main-menu-") + menu->objectName());
  }
  window.Liv1->setSelected(0, true);
  window.Liv1->setSelected(1, true);
  const QPoint at = window.Liv1->viewport()->mapToGlobal(window.Liv1->visualRect(window.Liv1->model()->index(1, 2)).center());
  shootMenu(window, *window.Menu_OrderTools, at, QStringLiteral("main-popup"));
  savePicture(window.Toolbar1->grab(), QStringLiteral("main-toolbar"));
  return 0;
}
