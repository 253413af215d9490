#pragma once
// Rows of the customer list (GuestList::row's columns) for chosen Guest
// rows, made when the list paints or reads them: listing every customer of
// a big book, or a search that finds tens of thousands, costs a row number
// each. The one row source of every customer list.
#include <QString>
#include <memory>
#include <vector>

#include "models/GuestList.h"
#include "platform/ListRowSource.h"

namespace GuestList {

// The rows, in the given order; the Guest table must stay as it is while a
// list shows them (the window rebuilds its list after every change).
std::shared_ptr<const ListRowSource> rowSource(const Table& guest, std::vector<int> rows, const View& view);

// The rows of show() and search() (same rows, same texts) as a row source.
std::shared_ptr<const ListRowSource> showRows(const Table& guest, const QString& filter, const View& view);
std::shared_ptr<const ListRowSource> searchRows(const Table& guest, const QString& text, const QString& filter,
                                                bool allCategories, const View& view);

}  // namespace GuestList
