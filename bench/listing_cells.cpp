#include "listing_cells.h"

#include <sqlite3.h>

#include <QFile>

#include "dataset.h"
#include "error.h"
#include "tool_baselines.h"

ListingCells::ListingCells(const QString& file) {
    sqlite3* db = nullptr;
    sqlite3_stmt* stmt = nullptr;
    int rc =
        sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_prepare_v2(db, kAllEntriesSql, -1, &stmt, nullptr);
    while (rc == SQLITE_OK && (rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        for (int c = 0; c < kColumns; ++c) {
            const bool null = sqlite3_column_type(stmt, c) == SQLITE_NULL;
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, c));
            append(null ? nullptr : text, sqlite3_column_bytes(stmt, c));
        }
        rc = SQLITE_OK;
    }
    const QString message = QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_finalize(stmt);
    sqlite3_close_v2(db);
    if (rc != SQLITE_DONE)
        throw Error(QStringLiteral("reading %1 failed: %2").arg(file, message));
    point();
}

ListingCells::ListingCells(const DataSet& shown) {
    for (int row = 0; row < shown.recordCount(); ++row) {
        for (int c = 0; c < kColumns; ++c) {
            const std::optional<QString> value = shown.value(row, c);
            const QByteArray text = value ? value->toUtf8() : QByteArray();
            append(value ? text.constData() : nullptr, text.size());
        }
    }
    point();
}

void ListingCells::append(const char* text, qsizetype size) {
    if (!text) {
        m_offsets.push_back(-1);
        return;
    }
    m_offsets.push_back(qsizetype(m_text.size()));
    m_text.insert(m_text.end(), text, text + size);
    m_text.push_back('\0');
}

void ListingCells::point() {
    // The text no longer grows: pointers into it stay valid.
    m_cells.reserve(m_offsets.size());
    for (qsizetype offset : m_offsets)
        m_cells.push_back(offset < 0 ? nullptr : m_text.data() + offset);
    m_offsets = {};
}
