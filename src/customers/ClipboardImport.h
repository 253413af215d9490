#pragma once
// "匯入客戶" of the customer dialog: its boxes filled from clipboard text by
// an import profile. Profile 0 ("露天拍賣") reads one line of that site's
// buyer list by position (account 10, name 12, phone 13, mobile 14, address
// 15; quoted fields keep their commas). Profiles 1 to 3 are the user's:
// for each of the nine fields a comma-separated list of keys; a line of the
// text holding a key gives the field the line without the key, blanks at
// both ends trimmed. The first key of a list sets the box, a later one adds
// to it. Boxes no key matches keep their text; the category never changes.
#include <QString>
#include <QStringList>

#include "models/CustomerFields.h"

struct DatabaseSettings;

namespace ClipboardImport {

// The text cut at every comma outside quotes (line breaks are no
// separators); a text ending inside an open quote is cut at every comma.
QStringList splitFields(QStringView text);

// Fills `boxes` from `text` by profile 0..3 (ImportMap of `settings` for
// 1..3). Values lose every '"' and "”".
void apply(int profile, const QString& text, const DatabaseSettings& settings, CustomerFields& boxes);

}  // namespace ClipboardImport
