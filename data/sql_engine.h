#pragma once

#include <array>
#include <functional>
#include <vector>

#include "sql_statement.h"
#include "storage_engine.h"
#include "stored_table.h"

// Where the SQL of the engines differs in the statements they share.
struct SqlDialect {
    char placeholder;  // opens each numbered placeholder: '?' or '$'
    // The key read as an 8-byte integer, and the condition that a column (%1) still holds
    // what a placeholder (%2) stands for, a missing value included.
    const char* keyRead;
    const char* holds;
};

// What the SQL engines share: the tables' names as the store has them, their check, and every
// statement that reads a whole table or writes its entries, written once from the column
// table in the engine's dialect. An engine runs the statements; its search and its bulk load
// stay its own.
class SqlEngine : public StorageEngine {
public:
    void loadTable(const DirectoryTable& table, RowStore& rows) override;
    qint64 insert(const DirectoryTable& table,
                  std::span<const std::optional<QString>> values) override;
    Outcome update(const DirectoryTable& table, qint64 key,
                   std::span<const RowStore::Field> original,
                   std::span<const FieldWrite> writes) override;
    Outcome remove(const DirectoryTable& table, qint64 key,
                   std::span<const RowStore::Field> original) override;
    bool holdsEntries(const DirectoryTable& table) override;
    qint64 removeAll(const DirectoryTable& table) override;

protected:
    explicit SqlEngine(const SqlDialect& dialect);

    // Checks each table by the columns its store describes (StoredTable::check; none: no
    // such table), naming the store in `words`.
    void checkTables(const StoreWords& words,
                     const std::function<std::vector<FoundColumn>(const DirectoryTable&)>& columns);
    // The table by the names checkTables() found; before that, by the names declared.
    const StoredTable& stored(const DirectoryTable& table) const;
    SqlStatement statement(QByteArray sql = {}) const {
        return SqlStatement(m_dialect.placeholder, sql);
    }
    // "INSERT INTO tel (tel, ...) VALUES (?1, ...), (...)": `rows` entries, their values
    // bound in field order one entry after the other.
    QByteArray insertSql(const StoredTable& table, int rows) const;

    // Appends the rows of a SELECT of the key and `fieldCount` texts.
    virtual void read(const SqlStatement& select, int fieldCount, RowStore& rows,
                      const QString& doing) = 0;
    // Runs a statement to its end: how many entries it wrote or deleted, and the first column
    // of its first row as an integer (none without rows).
    struct Ran {
        qint64 changed = 0;
        std::optional<qint64> first;
    };
    virtual Ran run(const SqlStatement& statement, const QString& doing) = 0;

private:
    // Runs an optimistic write and says what kept it from the row when it wrote nothing.
    Outcome checked(const SqlStatement& write, const StoredTable& table, qint64 key,
                    const QString& doing);
    QByteArray asRead(const StoredTable& table, qint64 key,
                      std::span<const RowStore::Field> original, SqlStatement& statement) const;

    SqlDialect m_dialect;
    std::array<StoredTable, std::size(kDirectoryTables)> m_stored;
};
