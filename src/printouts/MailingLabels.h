#pragma once
// Mailing labels "郵寄名條": the template AddrTemplate with its "$"
// placeholders filled for each selected order of the main order list, each
// selected customer of the customer window, or the order open in the order
// editor. Plain, case-sensitive replacement of every occurrence, one
// placeholder after another in each writer's fixed order. In an HTML label
// ("htm") every value is escaped while the template stays the seller's HTML.
// Builds the file's text only; PrintoutCommands writes and opens it.
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "models/OrderLine.h"

class Database;

namespace MailingLabels {

// The output kind of AddrFileExt: "htm" writes an HTML page, anything else
// a text file.
bool isHtml(const QString& addrFileExt);
// "temp.htm" or "temp.txt".
QString fileName(const QString& addrFileExt);

// "先生" for an empty sex or "男", "小姐" for "女"; nullopt for anything else
// (the placeholder then stays as typed).
std::optional<QString> salutation(const QString& sex);

// Labels of the orders of these main-order-list rows (its cells, Index
// last), in this order. nullopt when a row's Index names no Order row.
std::optional<QString> orderListLabels(const Database& db, const std::vector<QStringList>& listRows, bool maskPhone);

// Labels of these customer-window rows (its cells, Index last), always as
// text. nullopt when a row's Index names no Guest row.
std::optional<QString> customerLabels(const Database& db, const std::vector<QStringList>& guestRows);

// The order editor's boxes as the label reads them.
struct EditorLabel {
  QString number;
  QString account;
  QString name;
  QString sex;
  QString phone;
  QString mobile;
  QString bank;      // bankLast5Edit
  QString address;
  QString category;  // customerCategoryEdit
  QString note;      // noteEdit, line breaks as CR LF
  QString email;
  QString method;
  QString totalQty;  // TotalQty as last computed by the totals
  QString receivable;  // ReceivableText
  QString date;
  QString payDate;
  QString shipDate;
  OrderLines lines;  // every line of the editor, in list order
};
QString editorLabel(const Database& db, const EditorLabel& e, bool maskPhone);

}  // namespace MailingLabels
