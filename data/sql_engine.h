#pragma once

#include <array>
#include <vector>

#include "sql_statement.h"
#include "storage_engine.h"
#include "stored_table.h"

// What the SQL engines share: the tables' names as the store has them, their check, and every
// statement that reads a whole table or writes its entries, written once from the column
// table. An engine adds its dialect (how a placeholder looks, how the key is read, how a
// column is compared with what was read) and runs the statements; the search and the bulk
// load stay its own.
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
    // `placeholder` opens each numbered placeholder: '?' or '$'.
    explicit SqlEngine(char placeholder);

    // Finds each table's columns in the store and checks them (StoredTable::check).
    void checkTables();
    // The table by the names checkTables() found; before that, by the names declared.
    const StoredTable& stored(const DirectoryTable& table) const;
    SqlStatement statement(QByteArray sql = {}) const { return SqlStatement(m_placeholder, sql); }
    // "INSERT INTO tel (tel, ...) VALUES (?1, ...), (...)": `rows` entries, their values
    // bound in field order one entry after the other.
    QByteArray insertSql(const StoredTable& table, int rows) const;

    // The dialect: the key as read into the rows (an 8-byte integer), and the condition that
    // `column` still holds what `value` stands for, a missing value included.
    virtual QByteArray keyRead(const QByteArray& key) const { return key; }
    virtual QByteArray holds(const QByteArray& column, const QByteArray& value) const = 0;

    // The store. A table's columns as it describes them (none: no such table), and how its
    // messages name it.
    virtual std::vector<FoundColumn> columnsOf(const DirectoryTable& table) = 0;
    virtual StoreWords words() const = 0;
    // Appends the rows of a SELECT of the key and `fieldCount` texts.
    virtual void read(const SqlStatement& select, int fieldCount, RowStore& rows,
                      const QString& doing) = 0;
    // Runs a statement that writes; returns how many entries it wrote or deleted.
    virtual qint64 change(const SqlStatement& statement, const QString& doing) = 0;
    // Runs a statement to its end; returns the first column of its first row, none without rows.
    virtual std::optional<qint64> integer(const SqlStatement& statement, const QString& doing) = 0;

private:
    // Runs an optimistic write and says what kept it from the row when it wrote nothing.
    Outcome checked(const SqlStatement& write, const StoredTable& table, qint64 key,
                    const QString& doing);
    QByteArray asRead(const StoredTable& table, qint64 key,
                      std::span<const RowStore::Field> original, SqlStatement& statement) const;

    char m_placeholder;
    std::array<StoredTable, std::size(kDirectoryTables)> m_stored;
};
