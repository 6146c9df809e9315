#include "child_baselines.h"

#include <malloc.h>
#include <sqlite3.h>

#include <QFile>
#include <QList>
#include <array>
#include <cstdio>
#include <vector>

#include "error.h"
#include "sample.h"
#include "tool_baselines.h"
#include "xlsx_plain.h"

namespace {

constexpr int kColumns = 5;

// The listing's cells, read once: NUL-terminated texts one after another, and per cell its
// offset or -1 for no value.
struct Cells {
    std::vector<char> text;
    std::vector<qsizetype> offsets;
    size_t rows() const { return offsets.size() / kColumns; }
};

Cells readCells(const QString& file) {
    sqlite3* db = nullptr;
    sqlite3_stmt* stmt = nullptr;
    Cells cells;
    int rc =
        sqlite3_open_v2(QFile::encodeName(file).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_prepare_v2(db, kAllEntriesSql, -1, &stmt, nullptr);
    while (rc == SQLITE_OK && (rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        for (int c = 0; c < kColumns; ++c) {
            if (sqlite3_column_type(stmt, c) == SQLITE_NULL) {
                cells.offsets.push_back(-1);
                continue;
            }
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, c));
            cells.offsets.push_back(qsizetype(cells.text.size()));
            cells.text.insert(cells.text.end(), text, text + sqlite3_column_bytes(stmt, c));
            cells.text.push_back('\0');
        }
        rc = SQLITE_OK;
    }
    const QString message = QString::fromUtf8(sqlite3_errmsg(db));
    sqlite3_finalize(stmt);
    sqlite3_close_v2(db);
    if (rc != SQLITE_DONE)
        throw Error(QStringLiteral("reading %1 failed: %2").arg(file, message));
    return cells;
}

size_t mallocInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

}  // namespace

int runXlsxBaseline(const QString& file, const QString& workbook) {
    const Cells cells = readCells(file);
    std::vector<const char*> pointers;
    pointers.reserve(cells.offsets.size());
    for (qsizetype offset : cells.offsets)
        pointers.push_back(offset < 0 ? nullptr : cells.text.data() + offset);
    const QByteArray path = QFile::encodeName(workbook);
    int error = 0;
    const double ms = timeMs(
        [&] { error = plainXlsxWrite(path.constData(), pointers.data(), cells.rows(), kColumns); });
    QFile::remove(workbook);
    if (error)
        throw Error(QStringLiteral("plain libxlsxwriter loop failed with error %1").arg(error));
    std::printf("%.1f\n", ms);
    return 0;
}

int runNaiveMemory(const QString& file) {
    const Cells cells = readCells(file);
    malloc_trim(0);
    const size_t before = mallocInUse();
    QList<std::array<QString, kColumns>> rows;
    for (size_t r = 0; r < cells.rows(); ++r) {
        std::array<QString, kColumns> row;
        for (int c = 0; c < kColumns; ++c) {
            const qsizetype offset = cells.offsets[r * kColumns + size_t(c)];
            if (offset >= 0)
                row[size_t(c)] = QString::fromUtf8(cells.text.data() + offset);
        }
        rows.append(std::move(row));
    }
    const size_t after = mallocInUse();
    std::printf("%.1f\n", double(after - before) / double(rows.size()));
    return 0;
}
