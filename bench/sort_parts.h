#pragma once

#include <QString>

// `--sort-parts <file> <runs>`: the sort by phone in its two parts, timed apart on every entry
// with a house loaded as the program loads them: ordering the keys (TextOrder::sortedOrder
// reading the texts through the row store) and laying the records out in that order
// (RowStore::reorder). Each run starts from the order by surname, as a user's sort starts
// from another column's. Prints the two medians in milliseconds. A process of its own, so
// that its copy of the rows leaves the benchmark's peak memory alone.
int runSortParts(const QString& file, int runs);
