#include "sqlite_engine.h"

#include <sqlite3.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>

#include "city_search.h"
#include "error.h"
#include "fold_function.h"
#include "schema.h"
#include "search_index.h"
#include "statement.h"

namespace {

constexpr int kBusyTimeoutMs = 3000;

bool writable(const QString& path) {
    return ::access(QFile::encodeName(path).constData(), W_OK) == 0;
}

// Binds what a statement's placeholders stand for.
void bind(Statement& statement, const SqlStatement& values) {
    for (size_t i = 0; i < values.values().size(); ++i) {
        const int index = int(i) + 1;
        std::visit(
            [&](const auto& value) {
                using T = std::decay_t<decltype(value)>;
                if constexpr (std::is_same_v<T, qint64>)
                    statement.bindInt64(index, value);
                else if constexpr (std::is_same_v<T, QByteArray>)
                    statement.bindText(index, value);
                else
                    statement.bindNull(index);
            },
            values.values()[i]);
    }
}

// Appends the rows a statement returns: the key first, then `fields` columns of text.
void readRows(Statement& select, int fieldCount, RowStore& rows) {
    // A million rows make every column call count: one call gives the text, and only a null
    // pointer needs a second look, to tell no value from a conversion that ran out of memory.
    sqlite3_stmt* stmt = select.handle();
    std::vector<RowStore::Field> fields(size_t(fieldCount), std::nullopt);
    while (select.step()) {
        for (int c = 0; c < fieldCount; ++c) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, c + 1));
            if (text) {
                fields[size_t(c)] = QByteArrayView(text, sqlite3_column_bytes(stmt, c + 1));
            } else if (sqlite3_column_type(stmt, c + 1) == SQLITE_NULL) {
                fields[size_t(c)] = std::nullopt;
            } else {
                sqlite3* db = sqlite3_db_handle(stmt);
                throwSqliteError(db, sqlite3_errcode(db),
                                 QStringLiteral("Не удалось прочитать записи"));
            }
        }
        rows.append(sqlite3_column_int64(stmt, 0), fields);
    }
}

}  // namespace

SqliteEngine::SqliteEngine(QString dataSource, bool readWrite)
    // CAST lets a value another program stored as a number compare with the text read.
    : SqlEngine({'?', "%1", "CAST(%1 AS TEXT) IS %2"}),
      m_dataSource(std::move(dataSource)),
      m_readWrite(readWrite) {}

SqliteEngine::~SqliteEngine() {
    close();
}

void SqliteEngine::open() {
    if (m_db)
        return;
    const QFileInfo file(QDir::current().absoluteFilePath(m_dataSource));
    const QString& name = m_dataSource;
    const QString where = QDir::toNativeSeparators(file.absolutePath());

    if (!file.exists())
        throw Error(
            QStringLiteral("Файл базы данных «%1» не найден в папке «%2».").arg(name, where));
    if (!file.isFile())
        throw Error(QStringLiteral("«%1» в папке «%2» — не файл базы данных.").arg(name, where));
    if (m_readWrite && (!writable(file.absoluteFilePath()) || !writable(file.absolutePath())))
        throw Error(QStringLiteral("Файл базы данных «%1» (папка «%2») доступен только для чтения; "
                                   "справочнику нужна запись в него и в его папку.")
                        .arg(name, where));

    sqlite3* db = nullptr;
    // The connection is only ever used from the thread of the windows; without SQLite's
    // per-connection mutex, reading a column does not lock and unlock it every time.
    const int flags =
        (m_readWrite ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY) | SQLITE_OPEN_NOMUTEX;
    const int rc = sqlite3_open_v2(QFile::encodeName(file.absoluteFilePath()).constData(), &db,
                                   flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString reason = describeSqliteError(db, rc);
        sqlite3_close_v2(db);
        throw Error(
            QStringLiteral("Не удалось открыть файл базы данных «%1»: %2.").arg(name, reason));
    }
    m_db = db;
    try {
        sqlite3_extended_result_codes(db, 1);
        sqlite3_busy_timeout(db, kBusyTimeoutMs);
        // Reading a large directory through memory mapping spares a system call per page.
        execute(db, "PRAGMA mmap_size = 1073741824",
                QStringLiteral("Не удалось открыть файл базы данных"));
        if (m_readWrite && sqlite3_db_readonly(db, "main") == 1)
            throw Error(
                QStringLiteral("Файл базы данных «%1» доступен только для чтения.").arg(name));
        // The first read of the file: it tells a file that is not a database or is locked.
        const QString doing = QStringLiteral("Не удалось открыть файл базы данных «%1»").arg(name);
        Statement(db, "SELECT count(*) FROM sqlite_master", doing).step();
        checkTables(
            {QStringLiteral("В файле «%1»").arg(name), QStringLiteral("файла «%1»").arg(name),
             QStringLiteral("целочисленным первичным ключом (INTEGER PRIMARY KEY)"),
             QStringLiteral("текстовым")},
            [&](const DirectoryTable& table) { return fileColumns(db, table, doing); });
        m_hasSearchIndex = ::hasSearchIndex(db);
        registerFoldFunction(db);
    } catch (...) {
        close();
        throw;
    }
}

void SqliteEngine::close() {
    if (!m_db)
        return;
    sqlite3_close_v2(m_db);
    m_db = nullptr;
}

sqlite3* SqliteEngine::handle() {
    open();
    return m_db;
}

void SqliteEngine::loadCity(const CityCriteria& criteria, RowStore& rows) {
    // A parameter without a value selects nothing; the grid starts empty this way.
    if (criteria.selectsNothing())
        return;
    sqlite3* db = handle();
    bool indexed = m_hasSearchIndex;
    // A file opened for reading cannot take the folded copies of entries other programs
    // added; the search then reads the entries themselves.
    const StoredTable& tel = stored(kCityTable);
    if (indexed && m_readWrite)
        catchUpSearchIndex(db, tel);
    // The plan and the rows come from one view of the file. Should another program have
    // changed entries since the catch-up, their folded copies are missing from the index,
    // and this search reads the entries themselves.
    Transaction snapshot(db, "BEGIN");
    if (indexed && !searchIndexCurrent(db))
        indexed = false;
    const CitySearch search = CitySearch::plan(db, indexed, tel, criteria);
    if (search.selectsNothing)
        return;
    read(search.select, int(kCityTable.columns.size()), rows,
         QStringLiteral("Не удалось выполнить поиск"));
    snapshot.commit();
}

void SqliteEngine::read(const SqlStatement& select, int fieldCount, RowStore& rows,
                        const QString& doing) {
    Statement statement(handle(), select.sql, doing);
    bind(statement, select);
    readRows(statement, fieldCount, rows);
}

SqlEngine::Ran SqliteEngine::run(const SqlStatement& statement, const QString& doing) {
    sqlite3* db = handle();
    Statement run(db, statement.sql, doing);
    bind(run, statement);
    Ran ran;
    // To the end: an INSERT ... RETURNING is done, and its failure known, only then.
    while (run.step())
        if (!ran.first)
            ran.first = run.int64(0);
    ran.changed = sqlite3_changes64(db);
    return ran;
}

void SqliteEngine::begin() {
    execute(handle(), "BEGIN IMMEDIATE", QStringLiteral("Не удалось начать запись"));
}

void SqliteEngine::commit() {
    execute(handle(), "COMMIT", QStringLiteral("Не удалось завершить запись"));
}

void SqliteEngine::rollback() noexcept {
    if (m_db)
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

qint64 SqliteEngine::insertAll(const DirectoryTable& table, EntrySource& entries) {
    sqlite3* db = handle();
    const QString doing = QStringLiteral("Не удалось загрузить записи в таблицу «%1»")
                              .arg(QLatin1StringView(table.name));
    // Folding a million entries into the index's five B-trees at SQLite's default 2 MB page
    // cache rereads pages from the disk over and over; the usual size comes back afterwards.
    Statement cacheSize(db, "PRAGMA cache_size", doing);
    cacheSize.step();
    const QByteArray usualCache = "PRAGMA cache_size = " + QByteArray::number(cacheSize.int64(0));
    cacheSize.reset();
    execute(db, "PRAGMA cache_size = -262144", doing);
    // After an error the usual size comes back quietly: the error says what went wrong.
    auto usualCacheBack =
        qScopeGuard([&] { sqlite3_exec(db, usualCache.constData(), nullptr, nullptr, nullptr); });

    // A statement a row costs more than the row itself: the entries go in batches, their
    // texts gathered in one buffer that SQLite reads in place.
    constexpr int kRowsPerInsert = 64;
    Statement batch(db, insertSql(stored(table), kRowsPerInsert), doing);
    QByteArray texts;
    std::vector<std::pair<qsizetype, qsizetype>> places;  // per field: offset, size (-1: none)
    const auto write = [&](Statement& insert) {
        sqlite3_stmt* stmt = insert.handle();
        for (size_t i = 0; i < places.size(); ++i) {
            const auto [offset, size] = places[i];
            if (size < 0)
                sqlite3_bind_null(stmt, int(i) + 1);
            else
                sqlite3_bind_text(stmt, int(i) + 1, texts.constData() + offset, int(size),
                                  SQLITE_STATIC);
        }
        insert.run();
        insert.reset();
        texts.resize(0);
        places.clear();
    };
    std::vector<RowStore::Field> fields(table.columns.size());
    qint64 count = 0;
    while (entries.next(fields)) {
        for (const RowStore::Field& field : fields) {
            places.emplace_back(texts.size(), field ? field->size() : -1);
            if (field)
                texts.append(*field);
        }
        if (++count % kRowsPerInsert == 0)
            write(batch);
    }
    if (!places.empty()) {
        Statement rest(db, insertSql(stored(table), int(count % kRowsPerInsert)), doing);
        write(rest);
    }
    // The index's triggers noted every new city entry; folding them now spares the
    // program's first search the wait (seconds at a million entries, most of what
    // `bash bench/run_bench.sh --only import` measures).
    if (&table == &kCityTable && m_hasSearchIndex)
        foldPendingEntries(db, stored(kCityTable));
    usualCacheBack.dismiss();
    execute(db, usualCache.constData(), doing);
    return count;
}
