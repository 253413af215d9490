#include "mainwindow/SelectionTools.h"

#include <QRegularExpression>

#include "models/CustomerIndex.h"
#include "models/OrderList.h"
#include "platform/Prompt.h"
#include "platform/Shell.h"
#include "store/Database.h"
#include "store/TextEntry.h"

namespace SelectionTools {

namespace {

const QString kUnpaid = QStringLiteral("未匯款");
const QString kFeedback = QStringLiteral("已給");

bool allValid(const Database& db, const std::vector<SelectedOrder>& selected) {
  for (const SelectedOrder& s : selected)
    if (s.index < 1 || s.index > db.Order.count()) return false;
  return true;
}

}  // namespace

int countPaid(const std::vector<SelectedOrder>& selected) {
  int n = 0;
  for (const SelectedOrder& s : selected)
    if (s.paymentDate != kUnpaid) ++n;
  return n;
}

bool SetPay(Database& db, const std::vector<SelectedOrder>& selected, const QString& answer) {
  if (!allValid(db, selected)) return false;
  for (const SelectedOrder& s : selected) {
    const QStringList old = db.Order.cell(s.index, OrderCell::PaymentState).split(u' ');
    QString value = answer;
    if (old.size() >= 2 && old[1] == kFeedback) value += u' ' + kFeedback;
    db.Order.setCell(s.index, OrderCell::PaymentState, value);
  }
  db.setDirty(true);
  return true;
}

bool SetShipping(Database& db, const std::vector<SelectedOrder>& selected, const QString& today) {
  if (!allValid(db, selected)) return false;
  for (const SelectedOrder& s : selected)
    db.Order.setCell(s.index, OrderCell::ShippingState, s.shippingMethod + u' ' + today);
  db.setDirty(true);
  return true;
}

EmailList emailList(const Database& db, const std::vector<int>& selectedIndexes) {
  EmailList out;
  for (int index : selectedIndexes) {
    if (index < 1 || index > db.Order.count()) {
      out.failed = true;
      return out;
    }
  }
  // Only the customers of the selected orders are looked for.
  const std::vector<int> guests =
      customerRowsOf(db.Guest, db.Order, selectedIndexes, OrderCell::BuyerAccount, OrderCell::BuyerCategory);
  for (int guest : guests) {
    if (!guest) continue;
    const QString& mail = db.Guest.cell(guest, GuestCell::CustomerEmail);
    if (mail.isEmpty()) continue;
    out.list += mail;
    out.list += u';';
  }
  if (out.list.endsWith(u';')) out.list.chop(1);
  return out;
}

QUrl mailtoUrl(const QString& list) {
  const QString url = Shell::mailtoUrl({list});
  if (url == QStringLiteral("mailto:")) return {};
  return QUrl::fromEncoded(url.toLatin1(), QUrl::StrictMode);
}

bool markPaid(Database& db, Prompt& prompt, int listRows, const std::vector<SelectedOrder>& selected,
              const QString& today) {
  if (listRows == 0) return false;
  if (countPaid(selected) > 0 &&
      !prompt.askYesNo(PaidQuestion, PaidQuestionTitle, Prompt::Icon::Exclamation))
    return false;
  const std::optional<QString> answer = prompt.input(PayDatePrompt, QString(), today);
  if (!answer || answer->isEmpty()) return false;
  if (!TextEntry::acceptable(prompt, {{QStringLiteral("匯款日期"), *answer}})) return false;
  // Free text: quotes out where it enters, as every other box does.
  if (!SetPay(db, selected, TextEntry::clean(*answer))) {
    prompt.error();
    return false;
  }
  return true;
}

bool markShipped(Database& db, Prompt& prompt, int listRows, const std::vector<SelectedOrder>& selected,
                 const QString& today) {
  if (listRows == 0) return false;
  if (!SetShipping(db, selected, today)) {
    prompt.error();
    return false;
  }
  return true;
}

QUrl emailSelected(const Database& db, Prompt& prompt, const std::vector<int>& selectedIndexes) {
  const EmailList e = emailList(db, selectedIndexes);
  if (e.failed) {
    prompt.error();
    return {};
  }
  if (e.list.isEmpty()) return {};
  if (e.tooLong()) {
    prompt.message(EmailTooLongText, Prompt::Icon::Exclamation);
    return {};
  }
  return mailtoUrl(e.list);
}

}  // namespace SelectionTools
