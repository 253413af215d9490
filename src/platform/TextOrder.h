#pragma once
// The order in which lists sort texts: Traditional Chinese collation with
// letter case ignored (as QCollator for zh_TW, case-insensitive, compares).
//
// Comparing through the collation library costs about a microsecond a
// pair, far too slow for a list of 100k rows. So the common characters
// (printable ASCII, the CJK ideographs, full-width forms, Bopomofo, CJK and
// general punctuation) get a rank each, read once from the collation
// library, and texts made only of them compare rank by rank, which gives
// exactly the library's answer for them. Texts holding any other character
// are compared by the library itself, so the order is always the library's.
#include <QString>
#include <QStringView>
#include <cstdint>
#include <vector>

namespace TextOrder {

// Builds the rank table on another thread, so the first sort need not wait.
void prepareInBackground();

// <0, 0 or >0 as a sorts before, with or after b.
int compare(QStringView a, QStringView b);

// The stable order of texts: a permutation of 0..n-1 listing the positions
// of texts in ascending (or descending) order; texts that compare equal keep
// their order of positions in both directions.
std::vector<int> sortedPositions(const std::vector<QString>& texts, bool descending);

}  // namespace TextOrder
