#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <optional>
#include <span>
#include <vector>

#include "row_store.h"

class Connection;
class Statement;
struct sqlite3;

struct FieldDef {
    QString name;      // the column as the table declares it
    QString caption;   // how the user knows the field, for messages
    int size;          // the most characters a value may have
    int displayWidth;  // grid column width in characters
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

    const QList<FieldDef>& fields() const { return m_fields; }
    int fieldIndex(QStringView name) const;  // ignores letter case; -1 when there is none
    const QString& tableName() const { return m_table; }

    bool isOpen() const { return m_open; }
    void open();  // does nothing when open
    void close();

    int recordCount() const;
    int currentIndex() const { return m_current; }  // -1 when there are no rows
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
    // The current row's field as UTF-8, for the output walks; valid until the next change.
    RowStore::Field currentBytes(int column) const;
    // All of the current row's fields so, in field order, read in one pass.
    void currentFields(std::span<RowStore::Field> out) const;

    void edit();    // on an empty set starts a new row instead
    void insert();  // a new row in place of the current one
    void append();  // a new row at the end
    void post();
    void cancel();
    void remove();
    void settle();  // post when modified, else cancel

    void sortBy(QStringView fieldName);  // ascending, stable, in the directory's text order

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
    DataSet(Connection& connection, QString table, QList<FieldDef> fields, QObject* parent);

    // Reads the rows of an opening into `rows`.
    virtual void load(sqlite3* db, RowStore& rows) = 0;
    // Appends the rows a statement returns: the key first, then the fields in field order.
    void readRows(Statement& select, RowStore& rows) const;
    // "key, tel, fam, ..." for a SELECT of this set's columns, optionally qualified.
    QByteArray columnList(const char* qualifier = nullptr) const;

private:
    void requireOpen() const;
    int requireField(QStringView name) const;
    int storeRow(int row) const;  // the row's place in m_rows while a new row is spliced in
    void setCurrent(int row);
    void startInsert(int row);
    void checkSizes() const;
    void writeEdit();
    void writeInsert();
    void bindOriginal(Statement& statement, int firstParameter, int storeRow) const;
    [[noreturn]] void throwConflict(qint64 key, const QString& whatFailed) const;

    Connection& m_connection;
    QString m_table;
    QList<FieldDef> m_fields;
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
    mutable QByteArray m_bytesCache[8];
};
