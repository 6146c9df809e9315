#pragma once

#include <array>

#include "server_session.h"
#include "storage_engine.h"

// The directory on a PostgreSQL server, reached with libpq at the libpq URI of the connection
// string. Opening connects and checks both tables; it never creates or changes anything. A
// lost connection fails the operation under way with a message that says so; the next one
// connects anew. Every failure is an Error that names the server and the database.
class PostgresEngine : public StorageEngine {
public:
    explicit PostgresEngine(ServerAddress address);

    void open() override;
    void close() override;
    bool isOpen() const override { return m_session.isConnected(); }
    bool hasSearchIndex() const override { return m_hasSearchIndex; }
    bool canWrite(const DirectoryTable& table) const override;

    void loadCity(const CityCriteria& criteria, RowStore& rows) override;
    void loadTable(const DirectoryTable& table, RowStore& rows) override;
    qint64 insert(const DirectoryTable& table,
                  std::span<const std::optional<QString>> values) override;
    Outcome update(const DirectoryTable& table, qint64 key,
                   std::span<const RowStore::Field> original,
                   std::span<const FieldWrite> writes) override;
    Outcome remove(const DirectoryTable& table, qint64 key,
                   std::span<const RowStore::Field> original) override;
    void begin() override;
    void commit() override;
    void rollback() noexcept override;
    bool holdsEntries(const DirectoryTable& table) override;
    qint64 removeAll(const DirectoryTable& table) override;
    qint64 insertAll(const DirectoryTable& table, EntrySource& entries) override;

    ServerSession& session() { return m_session; }

private:
    // Appends the rows of a SELECT of the key and `fieldCount` texts, streamed with COPY.
    void copyRows(const QByteArray& select, int fieldCount, RowStore& rows, const QString& doing);
    Outcome missedBecause(const DirectoryTable& table, qint64 key);

    ServerSession m_session;
    bool m_checked = false;  // the tables were found usable once; a reconnection skips it
    bool m_hasSearchIndex = false;
    // The user's rights on each of kDirectoryTables, asked once when the tables are checked.
    std::array<bool, std::size(kDirectoryTables)> m_writable{};
};
