// The expense window on the loaded database: filling its list with every
// expense, a category filter switch, and the whole search, each through the
// real window (offscreen).
#include <QComboBox>
#include <QLineEdit>

#include "BenchCase.h"
#include "expenses/ExpendForm.h"
#include "platform/ListView.h"
#include "store/Database.h"

KESTRIN_BENCH(ExpenseWindowFill) {
  ExpendForm form(ctx.db, ctx.prompt);
  form.openFromMain(QStringLiteral("2024"), 0);  // 全部: every expense
  const double ms = ctx.bestMs([&] { form.ExpendShow(); });
  ctx.report(QStringLiteral("expense window fill, %1 expenses").arg(form.expenseList->rowCount()), ms, ctx.scanMs,
             QStringLiteral("one pass over Order"), 50);
}

KESTRIN_BENCH(ExpenseCategoryFilter) {
  ExpendForm form(ctx.db, ctx.prompt);
  form.openFromMain(QStringLiteral("2024"), 0);
  const double ms = ctx.bestMs([&] {
    form.categoryFilterCombo->setCurrentIndex(1);
    form.onCategoryChosen();
    form.categoryFilterCombo->setCurrentIndex(0);
    form.onCategoryChosen();
  });
  ctx.report(QStringLiteral("expense category filter and back"), ms, ctx.scanMs, QStringLiteral("one pass over Order"),
             100);
}

KESTRIN_BENCH(ExpenseWholeSearch) {
  ExpendForm form(ctx.db, ctx.prompt);
  form.openFromMain(QStringLiteral("2024"), 1);
  // A text every synthetic expense holds: the search lists them all.
  form.searchEdit->setText(QStringLiteral("紙箱"));
  const double ms = ctx.bestMs([&] { form.onSearchAll(); });
  ctx.report(QStringLiteral("expense whole search, %1 found").arg(form.expenseList->rowCount()), ms, ctx.scanMs,
             QStringLiteral("one pass over Order"), 50);
}
