#pragma once

#include <span>

#include "row_store.h"

class DataSet;

// One entry of the shown listing as the writers get it: the shown table's fields in field
// order (columns.h), UTF-8 text exactly as stored, std::nullopt for no value. It is valid
// for the length of the call it is handed to.
using ListingEntry = std::span<const RowStore::Field>;

// Takes the entries of a listing: an HTML document, a worksheet, a printout.
class ListingWriter {
public:
    virtual ~ListingWriter() = default;
    virtual void write(ListingEntry entry) = 0;
};

// Hears how far a walk has come and may stop it.
class WalkProgress {
public:
    virtual ~WalkProgress() = default;
    // Entries written out of the total, told every so many entries; false stops the walk.
    virtual bool advance(int done, int total) = 0;
};

// Hands the shown listing to a writer, the same way for every output: moves to the first
// entry (which settles an edit in progress, and may drop a new entry left unchanged), counts
// the entries there, and writes them in the listing's order, stepping the data set's own
// cursor so that the grid follows. The cursor ends on the last entry written. Returns how
// many were written: fewer than the count only when the progress stopped the walk, none
// when the listing is empty.
int walkListing(DataSet& shown, ListingWriter& writer, WalkProgress* progress = nullptr);
