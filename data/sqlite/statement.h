#pragma once

#include <QByteArrayView>
#include <QString>
#include <optional>

struct sqlite3;
struct sqlite3_stmt;

// A prepared SQLite statement. Every failure becomes an Error whose text says what the
// program was doing and what SQLite answered.
class Statement {
public:
    // `doing` says in Russian what the statement is for; it opens every error message.
    Statement(sqlite3* db, const char* sql, QString doing = defaultDoing());
    Statement(sqlite3* db, const QByteArray& sql, QString doing = defaultDoing())
        : Statement(db, sql.constData(), std::move(doing)) {}
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    // Parameters count from 1, as in SQLite.
    void bindNull(int index);
    void bindInt64(int index, qint64 value);
    void bindText(int index, QByteArrayView utf8);
    void bindValue(int index, const std::optional<QString>& text);  // no value binds NULL

    bool step();  // true while a row is available
    void run();   // steps a statement that returns no rows
    void reset();

    int columnCount() const;
    bool isNull(int column) const;
    qint64 int64(int column) const;
    QByteArrayView bytes(int column) const;  // UTF-8 text of the column
    std::optional<QString> text(int column) const;

    sqlite3_stmt* handle() const { return m_stmt; }

    static QString defaultDoing();

private:
    sqlite3* m_db;
    sqlite3_stmt* m_stmt = nullptr;
    QString m_doing;
};

// Why an SQLite call failed, in Russian; SQLite's own words follow in brackets where it has
// nothing more telling.
QString describeSqliteError(sqlite3* db, int code);

// Throws Error for a failed SQLite call; `doing` says in Russian what was being done.
[[noreturn]] void throwSqliteError(sqlite3* db, int code, const QString& doing);

// Runs one or more statements without results.
void execute(sqlite3* db, const char* sql, const QString& doing = Statement::defaultDoing());

// A transaction that rolls back unless committed.
class Transaction {
public:
    explicit Transaction(sqlite3* db, const char* begin = "BEGIN IMMEDIATE");
    ~Transaction();
    void commit();

private:
    sqlite3* m_db;
    bool m_open = true;
};
