#pragma once

#include <array>

#include "server_search.h"
#include "server_session.h"
#include "sql_engine.h"

// The directory on a PostgreSQL server, reached with libpq at the libpq URI of the connection
// string. Opening connects and checks both tables; it never creates or changes anything.
// Every failure is an Error that names the server and the database.
//
// A read that finds its connection gone (the server restarted, an administrator ended the
// connection, a standby took over) connects anew and runs once more: reading twice is
// harmless, and the user sees a message only when that fails too. A write is never repeated:
// an UPDATE or DELETE may have been done before the connection broke, an INSERT would be done
// twice. It fails with a message that says the next action connects anew; the user's next
// save decides, and the optimistic check keeps that safe.
class PostgresEngine : public SqlEngine {
public:
    explicit PostgresEngine(ServerAddress address);

    void open() override;
    void close() override;
    bool isOpen() const override { return m_session.isConnected(); }
    bool hasSearchIndex() const override { return m_hasSearchIndex; }
    bool canWrite(const DirectoryTable& table) const override;

    void loadCity(const CityCriteria& criteria, RowStore& rows) override;
    void loadTable(const DirectoryTable& table, RowStore& rows) override;
    void begin() override;
    void commit() override;
    void rollback() noexcept override;
    bool holdsEntries(const DirectoryTable& table) override;
    qint64 insertAll(const DirectoryTable& table, EntrySource& entries) override;

    ServerSession& session() { return m_session; }

protected:
    // Streams the rows with COPY, which takes no parameters: the statement has no values
    // (a table's SELECT never has).
    void read(const SqlStatement& select, int fieldCount, RowStore& rows,
              const QString& doing) override;
    Ran run(const SqlStatement& statement, const QString& doing) override;

private:
    void readCity(const CityCriteria& criteria, RowStore& rows);
    // Runs `read` into `rows`, and once more from the start when it lost its connection.
    template <typename Read>
    void readAgainIfLost(RowStore& rows, const Read& read);
    // Appends the rows of a SELECT of the key and `fieldCount` texts, streamed with COPY, that
    // pass the tests.
    void copyRows(const QByteArray& select, int fieldCount, RowStore& rows, const QString& doing,
                  std::span<const LengthTest> tests = {});

    ServerSession m_session;
    bool m_checked = false;  // the tables were found usable once; a reconnection skips it
    bool m_hasSearchIndex = false;
    // The user's rights on each of kDirectoryTables, asked once when the tables are checked.
    std::array<bool, std::size(kDirectoryTables)> m_writable{};
};
