#include <gtest/gtest.h>

#include <QLineEdit>
#include <QRadioButton>

#include "ScriptedPrompt.h"
#include "admin/DelForm.h"
#include "platform/Numbers.h"
#include "store/Database.h"

namespace {

TEST(DelForm, OpensOnTodayAndWritesBackTheTidiedRange) {
  Database db;
  const int r = db.Order.append("A");
  db.Order.setCell(r, OrderCell::OrderDate, "2024/03/10");
  db.Order.setCell(r, OrderCell::ShippingState, "已出貨");
  ScriptedPrompt prompt;
  DelForm dlg(db, prompt);
  EXPECT_TRUE(dlg.allShippedOption->isChecked());
  EXPECT_EQ(dlg.fromDateEdit->text(), DateText::today());
  EXPECT_EQ(dlg.toDateEdit->text(), DateText::today());
  EXPECT_FALSE(dlg.fromDateEdit->isEnabled());
  dlg.dateRangeOption->setChecked(true);
  EXPECT_TRUE(dlg.toDateEdit->isEnabled());
  dlg.fromDateEdit->setText("2024/3/31");
  dlg.toDateEdit->setText("2024/3/1");
  dlg.show();
  prompt.answer(Prompt::Answer::Yes);
  dlg.onClear();
  EXPECT_EQ(dlg.fromDateEdit->text(), "2024/03/01");
  EXPECT_EQ(dlg.toDateEdit->text(), "2024/03/31");
  EXPECT_EQ(db.Order.count(), 0);
  EXPECT_FALSE(dlg.isVisible());
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
}

}  // namespace
