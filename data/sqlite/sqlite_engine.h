#pragma once

#include "sql_engine.h"

struct sqlite3;
class Statement;

// The directory in a SQLite file (the Data Source of the connection string, relative to the
// working folder), read and written through SQLite's C API. Opening checks that the file
// exists, can be written, is an SQLite database and holds the directory's two tables; it
// never creates a file. Every failure is an Error that names the file.
class SqliteEngine : public SqlEngine {
public:
    SqliteEngine(QString dataSource, bool readWrite);
    ~SqliteEngine() override;

    void open() override;
    void close() override;
    bool isOpen() const override { return m_db != nullptr; }
    bool hasSearchIndex() const override { return m_hasSearchIndex; }
    bool canWrite(const DirectoryTable&) const override { return m_readWrite; }

    void loadCity(const CityCriteria& criteria, RowStore& rows) override;
    void begin() override;
    void commit() override;
    void rollback() noexcept override;
    qint64 insertAll(const DirectoryTable& table, EntrySource& entries) override;

    // The open database, opening it first if needed.
    sqlite3* handle();

protected:
    void read(const SqlStatement& select, int fieldCount, RowStore& rows,
              const QString& doing) override;
    Ran run(const SqlStatement& statement, const QString& doing) override;

private:
    QString m_dataSource;
    bool m_readWrite;
    sqlite3* m_db = nullptr;
    bool m_hasSearchIndex = false;
};
