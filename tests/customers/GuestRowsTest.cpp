// The customer window's rows made when shown give the texts, order and
// sorting of the rows made at once.
#include <QCollator>
#include <QLocale>
#include <gtest/gtest.h>

#include <numeric>

#include "../models/AwkwardBook.h"
#include "customers/GuestRowSource.h"
#include "models/GuestList.h"
#include "platform/ListView.h"
#include "store/Database.h"

namespace {

void fill(Table& guest) {
  const QString names[] = {QStringLiteral("王小明"), QStringLiteral("李美玲"), QString(), QStringLiteral("amy")};
  const QString cats[] = {QStringLiteral("露天拍賣"), QStringLiteral("蝦皮拍賣"), QStringLiteral("未分類")};
  for (int i = 1; i <= 300; ++i) {
    const int r = guest.append(QStringLiteral("Buyer%1").arg((i * 37) % 101));
    guest.setCell(r, GuestCell::CustomerCategory, cats[i % 3]);
    guest.setCell(r, GuestCell::CustomerNameSex, names[i % 4] + (i % 5 ? QString(QChar(1)) + QStringLiteral("男") : QString()));
    guest.setCell(r, GuestCell::CustomerPhone, QStringLiteral("02-%1").arg(i % 17));
    guest.setCell(r, GuestCell::CustomerAddress, i % 2 ? QStringLiteral("台北市%1號").arg(i % 9) : QString());
    guest.setCell(r, GuestCell::CustomerNote, QStringLiteral("備註%1").arg(i % 4));
  }
}

}  // namespace

TEST(GuestRows, SameRowsAndSortOrderAsRowsMadeAtOnce) {
  Table guest(GuestCell::Count);
  fill(guest);
  GuestList::View partial = GuestList::allShown();
  partial[GuestList::Phone] = partial[GuestList::Note] = false;
  QCollator collator(QLocale(QLocale::Chinese, QLocale::TraditionalChineseScript, QLocale::Taiwan));
  collator.setCaseSensitivity(Qt::CaseInsensitive);

  struct Case {
    std::vector<QStringList> rows;
    std::shared_ptr<const ListRowSource> source;
  };
  const std::vector<Case> cases = {
      {GuestList::show(guest, QStringLiteral("全部"), GuestList::allShown()),
       GuestList::showRows(guest, QStringLiteral("全部"), GuestList::allShown())},
      {GuestList::show(guest, QStringLiteral("蝦皮拍賣"), partial), GuestList::showRows(guest, QStringLiteral("蝦皮拍賣"), partial)},
      {GuestList::search(guest, QStringLiteral("buyer1"), QStringLiteral("露天拍賣"), false, partial),
       GuestList::searchRows(guest, QStringLiteral("buyer1"), QStringLiteral("露天拍賣"), false, partial)},
      {GuestList::search(guest, QStringLiteral("王"), QStringLiteral("露天拍賣"), true, GuestList::allShown()),
       GuestList::searchRows(guest, QStringLiteral("王"), QStringLiteral("露天拍賣"), true, GuestList::allShown())},
  };
  for (size_t c = 0; c < cases.size(); ++c) {
    const Case& k = cases[c];
    ASSERT_EQ(k.source->rowCount(), static_cast<int>(k.rows.size())) << c;
    ASSERT_GT(k.rows.size(), 3u) << c;
    ListView list;
    QStringList captions;
    for (int i = 0; i < GuestList::Count; ++i) captions << QString::number(i);
    list.setColumns(captions);
    list.setIndexColumn(GuestList::Index);
    list.setRowSource(k.source);
    for (int r = 0; r < list.rowCount(); ++r) ASSERT_EQ(list.rowTexts(r), k.rows[static_cast<size_t>(r)]) << c;
    for (int col = 0; col < GuestList::Index; ++col) {
      for (Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
        std::vector<int> ref(static_cast<size_t>(list.rowCount()));
        for (int r = 0; r < list.rowCount(); ++r) ref[static_cast<size_t>(r)] = list.sourceRow(r);
        std::stable_sort(ref.begin(), ref.end(), [&](int a, int b) {
          const int v = collator.compare(k.rows[static_cast<size_t>(a)][col], k.rows[static_cast<size_t>(b)][col]);
          return order == Qt::AscendingOrder ? v < 0 : v > 0;
        });
        list.sortRows(col, order);
        for (int r = 0; r < list.rowCount(); ++r)
          ASSERT_EQ(list.sourceRow(r), ref[static_cast<size_t>(r)]) << c << " column " << col;
      }
    }
  }
}

TEST(GuestRowSource, ReadsAsTheListRows) {
  AwkwardBook b;
  const Table& guest = b.db.Guest;
  GuestList::View someHidden = GuestList::allShown();
  someHidden[GuestList::Name] = false;
  someHidden[GuestList::Phone] = false;
  for (const GuestList::View& view : {GuestList::allShown(), someHidden}) {
    std::vector<int> rows;
    for (int r = guest.count(); r >= 1; r -= 3) rows.push_back(r);
    const auto source = GuestList::rowSource(guest, rows, view);
    ASSERT_EQ(source->rowCount(), static_cast<int>(rows.size()));
    for (size_t i = 0; i < rows.size(); ++i) {
      const QStringList cells = GuestList::row(guest, rows[i], view);
      for (int c = 0; c < GuestList::Count; ++c) EXPECT_EQ(source->text(static_cast<int>(i), c), cells[c]) << i << c;
      EXPECT_EQ(source->tableIndex(static_cast<int>(i)), rows[i]);
    }
  }
}
