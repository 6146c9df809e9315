#pragma once

#include <QString>
#include <memory>
#include <optional>
#include <span>

#include "city_criteria.h"
#include "columns.h"
#include "row_store.h"

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
};

// The engine a connection string names: "Provider=PostgreSQL" a server, anything else a
// SQLite file (its Data Source relative to the working folder).
std::unique_ptr<StorageEngine> makeStorageEngine(const QString& connectionString);

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
