#pragma once
// The printouts of the order open in the order editor, made from what its
// boxes and line list show (saved or not):
//   出貨單 (Command15) -> shippingNote, 郵寄名條 (Command6) -> mailingLabel,
//   匯出 (Command7) -> exportLines.
class Database;
class OrderInput;
class Prompt;

namespace EditorPrintouts {

void shippingNote(Database& db, Prompt& prompt, OrderInput& editor);
void mailingLabel(Database& db, Prompt& prompt, OrderInput& editor);
void exportLines(Database& db, Prompt& prompt, OrderInput& editor);

}  // namespace EditorPrintouts
