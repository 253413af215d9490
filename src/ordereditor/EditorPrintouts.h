#pragma once
// The printouts of the order open in the order editor, made from what its
// boxes and line list show (saved or not):
//   出貨單 (shippingNoteButton) -> shippingNote, 郵寄名條 (mailingLabelButton)
//   -> mailingLabel, 匯出 (exportButton) -> exportLines.
class Database;
class OrderInput;
class Prompt;

namespace EditorPrintouts {

void shippingNote(Database& db, Prompt& prompt, OrderInput& editor);
void mailingLabel(Database& db, Prompt& prompt, OrderInput& editor);
void exportLines(Database& db, Prompt& prompt, OrderInput& editor);

}  // namespace EditorPrintouts
