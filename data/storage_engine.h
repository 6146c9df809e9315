#pragma once

#include <QString>
#include <memory>
#include <optional>
#include <span>

#include "city_criteria.h"
#include "columns.h"
#include "row_store.h"

struct ConnectionSettings;

// Entries handed to a bulk load one at a time.
class EntrySource {
public:
    virtual ~EntrySource() = default;
    // Puts the next entry's fields, in field order, into `fields` and returns true, or returns
    // false after the last one. The texts stay valid until the next call. An Error thrown
    // here ends the load, and its transaction then writes nothing.
    virtual bool next(std::span<RowStore::Field> fields) = 0;
};

// What the data sets ask of the place where the directory is stored: a SQLite file or a
// PostgreSQL server. The data sets hold the rows, the cursor and the editing; an engine only
// reads and writes. Every failure is an Error whose Russian text says what failed and names
// the file or the server, never a password.
class StorageEngine {
public:
    virtual ~StorageEngine() = default;

    // Connects and checks that both tables are there with usable columns; does nothing when
    // open. Never creates or changes anything.
    virtual void open() = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Whether the store carries the helpers that make prefix searches fast. Without them every
    // search still finds the same entries, only slower.
    virtual bool hasSearchIndex() const = 0;
    // Whether this user may add, change and delete the table's entries: a reader of a server
    // directory, or a file opened with Mode=Read, may only search. Known once open; the
    // store may still refuse a write later (its rights changed), as it refuses any write.
    virtual bool canWrite(const DirectoryTable& table) const = 0;

    // Fill `rows`, given empty: the key, then the table's columns in field order.
    virtual void loadCity(const CityCriteria& criteria, RowStore& rows) = 0;
    virtual void loadTable(const DirectoryTable& table, RowStore& rows) = 0;

    // Writes a new entry (every column, in field order); returns the key the store gave it.
    virtual qint64 insert(const DirectoryTable& table,
                          std::span<const std::optional<QString>> values) = 0;

    // The optimistic check: an entry is written or deleted only while it still holds
    // `original`, the values as they were read; otherwise nothing changes, and the outcome
    // says what another program did to it meanwhile.
    enum class Outcome { Done, Changed, Deleted };
    struct FieldWrite {
        int column;
        std::optional<QString> value;
    };
    virtual Outcome update(const DirectoryTable& table, qint64 key,
                           std::span<const RowStore::Field> original,
                           std::span<const FieldWrite> writes) = 0;
    virtual Outcome remove(const DirectoryTable& table, qint64 key,
                           std::span<const RowStore::Field> original) = 0;

    // Everything written between begin() and commit() is kept together or not at all.
    virtual void begin() = 0;
    virtual void commit() = 0;
    virtual void rollback() noexcept = 0;  // a failure leaves nothing written either

    // Loading a whole directory (telspr-import), inside a transaction. holdsEntries() also
    // keeps other programs from writing the table until the transaction ends, so that its
    // answer stays true; they may go on reading it.
    virtual bool holdsEntries(const DirectoryTable& table) = 0;
    // Deletes every entry of the table; returns how many there were.
    virtual qint64 removeAll(const DirectoryTable& table) = 0;
    // Adds every entry of `entries`, each under a fresh key: the keys the store gives later
    // stay above every key in the table, also one another tool wrote there. The search
    // helpers know the new entries afterwards. Returns how many were added.
    virtual qint64 insertAll(const DirectoryTable& table, EntrySource& entries) = 0;
};

// The engine a connection string names: "Provider=PostgreSQL" a server, anything else a
// SQLite file (its Data Source relative to the working folder).
std::unique_ptr<StorageEngine> makeStorageEngine(const QString& connectionString);
std::unique_ptr<StorageEngine> makeStorageEngine(const ConnectionSettings& settings);

// Writes through an engine inside one transaction, rolled back unless committed.
class EngineTransaction {
public:
    explicit EngineTransaction(StorageEngine& engine) : m_engine(engine) { engine.begin(); }
    ~EngineTransaction() {
        if (m_open)
            m_engine.rollback();
    }
    EngineTransaction(const EngineTransaction&) = delete;
    EngineTransaction& operator=(const EngineTransaction&) = delete;
    void commit() {
        m_engine.commit();
        m_open = false;
    }

private:
    StorageEngine& m_engine;
    bool m_open = true;
};
