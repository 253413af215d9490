#pragma once
// Text as it enters the program (dialog boxes, input boxes, the clipboard,
// imported files): free text loses every double quote and "”" before it is
// stored anywhere, and text holding a character that code page 950 cannot
// hold (emoji, simplified-only forms, U+2028) is refused where it enters,
// with a message naming the character and its field, so no file ever
// receives a silent "?".
//
//   if (!TextEntry::acceptable(prompt_, {{"客戶帳號", accountEdit->text()}, {"備註", noteEdit->toPlainText()}})) return;
//   row.setCell(..., TextEntry::clean(noteEdit->toPlainText()));
#include <QString>
#include <initializer_list>
#include <utility>
#include <vector>

class Prompt;

namespace TextEntry {

// Every '"' and "”" removed.
QString clean(const QString& text);
// clean() and blanks trimmed at both ends (category and supplier names).
QString cleanName(const QString& text);

// The text with no CR LF pair left, one that taking out another makes
// ("\r\r\n\n") included: a field of an export or import stays on its line.
QString withoutCrLf(const QString& text);

// The first character (a whole code point) that code page 950 cannot hold;
// empty when every character can be held.
QString firstUnencodable(const QString& text);

// "客戶帳號中的「😀」無法儲存在資料檔中，請改用其他字元".
QString refusalText(const QString& field, const QString& character);

// Checks each (field caption, text) in order; at the first text holding a
// character code page 950 cannot hold, shows refusalText (title "注意",
// exclamation icon) and returns false. True when every text can be stored.
bool acceptable(Prompt& prompt, std::initializer_list<std::pair<QString, QString>> fields);
bool acceptable(Prompt& prompt, const std::vector<std::pair<QString, QString>>& fields);

}  // namespace TextEntry
