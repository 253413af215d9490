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
  EXPECT_TRUE(dlg.Option1->isChecked());
  EXPECT_EQ(dlg.Text1->text(), DateText::today());
  EXPECT_EQ(dlg.Text2->text(), DateText::today());
  EXPECT_FALSE(dlg.Text1->isEnabled());
  dlg.Option2->setChecked(true);
  EXPECT_TRUE(dlg.Text2->isEnabled());
  dlg.Text1->setText("2024/3/31");
  dlg.Text2->setText("2024/3/1");
  dlg.show();
  prompt.answer(Prompt::Answer::Yes);
  dlg.Command1_Click();
  EXPECT_EQ(dlg.Text1->text(), "2024/03/01");
  EXPECT_EQ(dlg.Text2->text(), "2024/03/31");
  EXPECT_EQ(db.Order.count(), 0);
  EXPECT_FALSE(dlg.isVisible());
  EXPECT_EQ(dlg.result(), QDialog::Accepted);
}

}  // namespace
