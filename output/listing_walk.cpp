#include "listing_walk.h"

#include <vector>

#include "dataset.h"

namespace {

// How often the progress hears of the walk: often enough for a dialog to repaint and to
// answer a cancel at once, rarely enough to cost nothing beside the entries.
constexpr int kProgressStep = 2048;

}  // namespace

int walkListing(DataSet& shown, ListingWriter& writer, WalkProgress* progress) {
    // Announced once at the end: the grid follows without redrawing a million times.
    DataSet::QuietMoves quiet(shown);
    shown.first();
    const int count = shown.recordCount();
    std::vector<RowStore::Field> entry(static_cast<size_t>(shown.fieldCount()));
    for (int done = 0; done < count; ++done) {
        if (progress && done > 0 && done % kProgressStep == 0 && !progress->advance(done, count))
            return done;  // the cursor stays on the last entry written
        if (done > 0)
            shown.next();
        shown.currentFields(entry);
        writer.write(entry);
    }
    if (progress && count > 0)
        progress->advance(count, count);
    return count;
}
