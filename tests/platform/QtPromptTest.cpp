#include "platform/QtPrompt.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <gtest/gtest.h>

namespace {

// A message lined up by tabs (the label placeholders' help) is shown as a
// table, so its second column lines up and no line wraps; other messages
// stay plain text.
TEST(QtPromptTest, TabbedLinesAreShownAsTwoColumns) {
  EXPECT_TRUE(QtPrompt::tabTable(QStringLiteral("發生錯誤!")).isEmpty());

  const QString text = QStringLiteral("$Num: 訂單編號\t\t$User: 客戶帳號\r\n"
                                      "$Bank:  匯款帳號後5碼\t$Sex: 性別\r\n"
                                      "$sDate: 出貨日期\r\n"
                                      "\r\n"
                                      "$ManufPrice: 全部商品名稱&售價");
  QTextDocument doc;
  doc.setHtml(QtPrompt::tabTable(text));
  QTextTable* table = nullptr;
  for (QTextFrame* f : doc.rootFrame()->childFrames())
    if ((table = qobject_cast<QTextTable*>(f))) break;
  ASSERT_NE(table, nullptr);
  ASSERT_EQ(table->rows(), 5);
  ASSERT_EQ(table->columns(), 2);
  auto cell = [table](int r, int c) {
    const QTextTableCell x = table->cellAt(r, c);
    QTextCursor cur = x.firstCursorPosition();
    cur.setPosition(x.lastCursorPosition().position(), QTextCursor::KeepAnchor);
    return cur.selectedText();
  };
  EXPECT_EQ(cell(0, 0), QStringLiteral("$Num: 訂單編號"));
  EXPECT_EQ(cell(0, 1), QStringLiteral("$User: 客戶帳號"));
  EXPECT_EQ(cell(1, 0), QStringLiteral("$Bank:  匯款帳號後5碼"));  // blanks kept
  EXPECT_EQ(cell(1, 1), QStringLiteral("$Sex: 性別"));
  EXPECT_EQ(table->cellAt(2, 0).columnSpan(), 2);
  EXPECT_EQ(cell(2, 0), QStringLiteral("$sDate: 出貨日期"));
  EXPECT_EQ(cell(4, 0), QStringLiteral("$ManufPrice: 全部商品名稱&售價"));
}

}  // namespace
