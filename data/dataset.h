#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <optional>
#include <span>
#include <vector>

#include "columns.h"
#include "error.h"
#include "row_store.h"
#include "storage_engine.h"

class Connection;

// A post or delete refused by the optimistic check: another program changed or deleted the
// row since it was read, and nothing was written.
class EditConflict : public Error {
public:
    using Error::Error;
};

// A data set as the directory's windows use it: opening reads the rows once and holds them
// (a static cursor: others' later changes show only after the next opening); one row is
// current; it is browsed, edited, or a new row is being inserted. Post writes the row at
// once. Any move of the current row first settles an edit: posted if modified, else
// cancelled, so views that move the current row get the same rule.
//
// Edits are checked against what the row held when it was read: if another program has
// changed or deleted the row meanwhile, post and delete fail and overwrite nothing.
class DataSet : public QObject {
    Q_OBJECT
public:
    enum class State { Browse, Edit, Insert };

    const DirectoryTable& table() const { return m_table; }
    std::span<const Column> fields() const { return m_table.columns; }
    int fieldCount() const { return int(m_table.columns.size()); }
    int fieldIndex(QStringView name) const { return m_table.indexOf(name); }  // ignores case

    bool isOpen() const { return m_open; }
    // The user may only read this directory (see StorageEngine::canWrite).
    bool isReadOnly() const;
    void open();  // does nothing when open
    void close();
    // Reads the rows anew, dropping unsaved editing as closing does. The rows shown stay
    // until the new ones are read: a read that fails leaves the data set as it was.
    void reopen();

    int recordCount() const;
    int currentIndex() const { return m_current; }  // -1 when there are no rows
    // The key the store gave the current row; -1 for a new row not yet posted, or none.
    qint64 currentKey() const;
    State state() const { return m_state; }
    bool isModified() const { return m_modified; }

    void moveTo(int row);
    void first();
    void next();

    // The current row's field, found by name ignoring letter case; no value on an empty set.
    std::optional<QString> fieldValue(QStringView name) const;
    // Sets a field of the row being edited or inserted; an empty text stays a text.
    void setFieldValue(QStringView name, const std::optional<QString>& value);
    void setValue(int column, const std::optional<QString>& value);

    // A row's field as the grid shows it, the unsaved values of the row being edited included.
    std::optional<QString> value(int row, int column) const;
    // The current row's fields as UTF-8, in field order, read in one pass: what the output
    // walk hands on. Valid until the next change.
    void currentFields(std::span<RowStore::Field> out) const;

    void edit();    // on an empty set starts a new row instead
    void insert();  // a new row in place of the current one
    void append();  // a new row at the end
    void post();
    void cancel();
    void remove();
    void settle();  // post when modified, else cancel

    // Ascending and stable, in the directory's text order (text_order.h).
    void sortBy(QStringView fieldName);
    void sortBy(Field field);

    size_t bytesHeld() const { return m_rows.bytesHeld(); }

    // While one lives, moves do not announce every step; the current row is announced once
    // at the end. The output walks use it so that the grid follows without redrawing a
    // million times.
    class QuietMoves {
    public:
        explicit QuietMoves(DataSet& set) : m_set(set) { ++m_set.m_quiet; }
        ~QuietMoves();
        QuietMoves(const QuietMoves&) = delete;
        QuietMoves& operator=(const QuietMoves&) = delete;

    private:
        DataSet& m_set;
    };

signals:
    void aboutToReset();
    void reset();
    void aboutToInsertRow(int row);
    void rowInserted(int row);
    void aboutToRemoveRow(int row);
    void rowRemoved(int row);
    void rowChanged(int row);
    void currentChanged(int row);

protected:
    DataSet(Connection& connection, const DirectoryTable& table, QObject* parent);

    // Reads the rows of an opening into `rows`.
    virtual void load(StorageEngine& engine, RowStore& rows) = 0;

private:
    void requireOpen() const;
    int requireField(QStringView name) const;
    int storeRow(int row) const;  // the row's place in m_rows while a new row is spliced in
    void setCurrent(int row);
    void sortByColumn(int column);
    void startInsert(int row);
    void checkSizes() const;
    void writeEdit();
    void writeInsert();
    std::vector<RowStore::Field> storedFields(int storeRow) const;
    void refuseConflict(StorageEngine::Outcome outcome, const QString& whatFailed) const;

    Connection& m_connection;
    const DirectoryTable& m_table;
    RowStore m_rows;
    bool m_open = false;
    State m_state = State::Browse;
    int m_current = -1;
    int m_insertRow = -1;     // where the new row stands while inserting
    int m_beforeInsert = -1;  // the current row to return to when the insert is cancelled
    std::vector<std::optional<QString>> m_buffer;  // values of the row being edited
    std::vector<bool> m_assigned;                  // fields given a value since editing began
    bool m_modified = false;
    int m_quiet = 0;
    mutable std::vector<QByteArray> m_edited;  // UTF-8 of the row being edited, for the walks
};
