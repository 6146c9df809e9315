#pragma once

#include <QByteArray>
#include <span>

#include "row_store.h"

// Rows for COPY ... FROM STDIN (FORMAT binary): a header, then per row the number of fields
// and each field's length (-1: no value) and bytes, all numbers big-endian, and a -1 at the
// end. Texts go as their UTF-8 bytes, which the server checks as it would any text.
void appendCopyHeader(QByteArray& out);
void appendCopyRow(QByteArray& out, std::span<const RowStore::Field> fields);
void appendCopyEnd(QByteArray& out);
