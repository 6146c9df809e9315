#include "statement.h"

#include <sqlite3.h>

#include "error.h"
#include "write_obstacle.h"

QString describeSqliteError(sqlite3* db, int code) {
    switch (code & 0xff) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return QStringLiteral("база данных занята другой программой, повторите попытку позже");
        case SQLITE_READONLY:
            return QStringLiteral("файл базы данных доступен только для чтения");
        case SQLITE_FULL:
            return QStringLiteral("на диске нет места");
        case SQLITE_CANTOPEN:
            // Writing also opens the journal next to the file, so a folder that refuses new
            // files fails here.
            return writeObstacle(db).value_or(
                QStringLiteral("не удалось открыть файл базы данных или файл его журнала"));
        case SQLITE_IOERR:
            return writeObstacle(db).value_or(QStringLiteral("ошибка чтения или записи файла (%1)")
                                                  .arg(QString::fromUtf8(sqlite3_errmsg(db))));
        case SQLITE_CORRUPT:
        case SQLITE_NOTADB:
            return QStringLiteral("файл повреждён или не является базой данных справочника");
        case SQLITE_NOMEM:
            return QStringLiteral("не хватает памяти");
        default:
            return QStringLiteral("ошибка базы данных (%1)")
                .arg(QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(code)));
    }
}

void throwSqliteError(sqlite3* db, int code, const QString& doing) {
    throw Error(QStringLiteral("%1: %2.").arg(doing, describeSqliteError(db, code)));
}

QString Statement::defaultDoing() {
    return QStringLiteral("Ошибка базы данных");
}

Statement::Statement(sqlite3* db, const char* sql, QString doing)
    : m_db(db), m_doing(std::move(doing)) {
    const int rc = sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr);
    if (rc != SQLITE_OK)
        throwSqliteError(db, rc, m_doing);
}

Statement::~Statement() {
    sqlite3_finalize(m_stmt);
}

void Statement::bindNull(int index) {
    sqlite3_bind_null(m_stmt, index);
}

void Statement::bindInt64(int index, qint64 value) {
    sqlite3_bind_int64(m_stmt, index, value);
}

void Statement::bindText(int index, QByteArrayView utf8) {
    // The empty text must stay a text, so never hand SQLite a null pointer for it.
    static const char empty[] = "";
    sqlite3_bind_text(m_stmt, index, utf8.isEmpty() ? empty : utf8.data(), int(utf8.size()),
                      SQLITE_TRANSIENT);
}

void Statement::bindValue(int index, const std::optional<QString>& text) {
    if (!text) {
        bindNull(index);
        return;
    }
    bindText(index, QByteArrayView(text->toUtf8()));
}

bool Statement::step() {
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    sqlite3_reset(m_stmt);
    throwSqliteError(m_db, rc, m_doing);
}

void Statement::run() {
    while (step()) {
    }
}

void Statement::reset() {
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

int Statement::columnCount() const {
    return sqlite3_column_count(m_stmt);
}

bool Statement::isNull(int column) const {
    return sqlite3_column_type(m_stmt, column) == SQLITE_NULL;
}

qint64 Statement::int64(int column) const {
    return sqlite3_column_int64(m_stmt, column);
}

QByteArrayView Statement::bytes(int column) const {
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(m_stmt, column));
    return QByteArrayView(data, sqlite3_column_bytes(m_stmt, column));
}

std::optional<QString> Statement::text(int column) const {
    if (isNull(column))
        return std::nullopt;
    return QString::fromUtf8(bytes(column));
}

void execute(sqlite3* db, const char* sql, const QString& doing) {
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throwSqliteError(db, rc, doing);
}

Transaction::Transaction(sqlite3* db, const char* begin) : m_db(db) {
    execute(db, begin);
}

Transaction::~Transaction() {
    if (m_open)
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::commit() {
    execute(m_db, "COMMIT");
    m_open = false;
}
