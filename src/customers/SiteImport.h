#pragma once
// The buyer lists that the auction sites export as CSV ("露天拍賣",
// "蝦皮拍賣", "Yahoo拍賣"), imported into the customers of the category the
// customer window's filter shows. The first line is the site's header; every
// further line is one buyer, read by the fixed field positions of the site:
//
//                  露天拍賣   蝦皮拍賣   Yahoo拍賣
//   account        10         4          12        (also the shortest line)
//   name           12         12         22        (stored without a sex)
//   phone          13         -          23
//   mobile         14         13         24
//   address        15         11         25 (and " " & 26 when there)
//   "=" removed    13, 14     -          -
//
// Quoted fields keep their commas. A buyer is the customer of the same
// account in the chosen category; a stored customer is rewritten only when
// the user says so, and keeps its sex, its e-mail address and its cells the
// layout does not name.
#include <QString>
#include <QStringList>
#include <optional>

class Database;
class Prompt;

namespace SiteImport {

enum class Site { Ruten, Shopee, Yahoo };

// What one line of a buyer list gives; an empty optional is a cell the
// line does not have (left as it is).
struct Buyer {
  QString account;
  std::optional<QString> name;
  std::optional<QString> phone;
  std::optional<QString> mobile;
  std::optional<QString> address;
};

// The buyer of one record (its fields as read); nullopt for a line too
// short for the site or without an account.
std::optional<Buyer> buyerOf(Site site, QStringList fields);

struct ImportCount {
  int added = 0;
  int updated = 0;
};
// Imports a buyer list's text into `category`. Does not touch the flag.
ImportCount importText(Database& db, Site site, const QString& text, const QString& category, bool replace);

// ---- per-site texts ----
QString refusalText(Site site);   // the filter shows no category
QString fileFilter(Site site);
QString replaceQuestion(Site site);
QString doneText(Site site);

// The menu command: refuses while the filter (its text `filter`) shows
// "全部" or nothing, asks for the file, reads it whole, asks the replace
// question, imports, sets the flag and reports. True when Guest changed and
// the list is to be rebuilt; a file that cannot be read changes nothing.
bool importCommand(Database& db, Prompt& prompt, Site site, const QString& filter);

}  // namespace SiteImport
