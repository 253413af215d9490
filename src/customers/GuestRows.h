#pragma once
// The customer window's rows for its list view, made from the Guest rows
// when they are painted or read (GuestList::row gives the same texts), so
// that listing every customer of a big book costs a row number each.
#include <QString>
#include <memory>

#include "customers/GuestList.h"
#include "platform/ListRowSource.h"

namespace GuestList {

// The rows of show() and search() as a row source.
std::shared_ptr<const ListRowSource> showRows(const Table& guest, const QString& filter, const View& view);
std::shared_ptr<const ListRowSource> searchRows(const Table& guest, const QString& text, const QString& filter,
                                                bool allCategories, const View& view);

}  // namespace GuestList
