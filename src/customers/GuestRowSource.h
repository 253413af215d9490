#pragma once
// Rows of the customer list (GuestList::row's columns) for chosen Guest
// rows, made when the list paints or reads them: a search that finds tens
// of thousands of customers costs a row number each.
#include <memory>
#include <vector>

#include "customers/GuestList.h"
#include "platform/ListRowSource.h"

namespace GuestList {

// The rows, in the given order; the Guest table must stay as it is while a
// list shows them (the window rebuilds its list after every change).
std::shared_ptr<const ListRowSource> rowSource(const Table& guest, std::vector<int> rows, const View& view);

}  // namespace GuestList
