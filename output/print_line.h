#pragma once

#include <QString>
#include <QStringList>

#include "columns.h"
#include "listing_walk.h"

// One entry as a line of the printed listing: the table's printed columns in field order,
// each filled out with spaces to its print width (columns.h): the phone as it is, two spaces,
// surname and street to 30 characters, house and apartment to 5. Longer values are printed
// whole. The mobile number is not printed.
QString printLine(const DirectoryTable& table, ListingEntry entry);

// A printed line cut into pieces of at most `width` characters, one printed line each, for a
// line wider than the page. A character outside the BMP counts once and is never cut in two.
// An empty line is one empty piece.
QStringList printPieces(const QString& line, qsizetype width);
