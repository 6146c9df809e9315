#pragma once

#include <QByteArray>

// The fold of matching.h as an SQL expression over a column: translate() with the letters it
// maps. It needs no function of ours on the server, does not depend on the database's locale
// (lower() and ILIKE do), and is immutable, so expression indexes can hold it.
QByteArray foldSql(QByteArrayView column);

// The fold compared byte by byte (COLLATE "C"), as the search indexes order it: a prefix is
// then a range of the index, and LIKE can use the index for the pattern's leading characters.
QByteArray foldedSql(QByteArrayView column);
