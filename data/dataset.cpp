#include "dataset.h"

#include <sqlite3.h>

#include <algorithm>

#include "connection.h"
#include "error.h"
#include "statement.h"
#include "text_order.h"

namespace {

// How many rows ahead a walk over the rows asks for their records (see RowStore::prefetch).
constexpr int kReadAhead = 8;

std::vector<RowStore::Field> fieldsOf(const std::vector<QByteArray>& utf8,
                                      const std::vector<std::optional<QString>>& values) {
    std::vector<RowStore::Field> fields;
    for (size_t i = 0; i < values.size(); ++i)
        fields.push_back(values[i] ? RowStore::Field(QByteArrayView(utf8[i])) : std::nullopt);
    return fields;
}

std::vector<QByteArray> utf8Of(const std::vector<std::optional<QString>>& values) {
    std::vector<QByteArray> utf8;
    for (const auto& v : values)
        utf8.push_back(v ? v->toUtf8() : QByteArray());
    return utf8;
}

}  // namespace

DataSet::DataSet(Connection& connection, QString table, QList<FieldDef> fields, QObject* parent)
    : QObject(parent),
      m_connection(connection),
      m_table(std::move(table)),
      m_fields(std::move(fields)),
      m_rows(int(m_fields.size())) {}

DataSet::QuietMoves::~QuietMoves() {
    if (--m_set.m_quiet == 0)
        emit m_set.currentChanged(m_set.m_current);
}

int DataSet::fieldIndex(QStringView name) const {
    for (int i = 0; i < m_fields.size(); ++i)
        if (m_fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int DataSet::requireField(QStringView name) const {
    const int index = fieldIndex(name);
    if (index < 0)
        throw Error(QStringLiteral("В таблице «%1» нет поля «%2».").arg(m_table, name.toString()));
    return index;
}

void DataSet::requireOpen() const {
    if (!m_open)
        throw Error(
            QStringLiteral("Операция невозможна: набор данных «%1» закрыт.").arg(objectName()));
}

QByteArray DataSet::columnList(const char* qualifier) const {
    const QByteArray prefix = qualifier ? QByteArray(qualifier) + '.' : QByteArray();
    QByteArray list = prefix + "key";
    for (const FieldDef& f : m_fields)
        list += ", " + prefix + f.name.toUtf8();
    return list;
}

void DataSet::readRows(Statement& select, RowStore& rows) const {
    // A million rows make every column call count: one call gives the text, and only a null
    // pointer needs a second look, to tell no value from a conversion that ran out of memory.
    sqlite3_stmt* stmt = select.handle();
    const int n = int(m_fields.size());
    std::vector<RowStore::Field> fields(size_t(n), std::nullopt);
    while (select.step()) {
        for (int c = 0; c < n; ++c) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, c + 1));
            if (text) {
                fields[size_t(c)] = QByteArrayView(text, sqlite3_column_bytes(stmt, c + 1));
            } else if (sqlite3_column_type(stmt, c + 1) == SQLITE_NULL) {
                fields[size_t(c)] = std::nullopt;
            } else {
                sqlite3* db = sqlite3_db_handle(stmt);
                throwSqliteError(db, sqlite3_errcode(db),
                                 QStringLiteral("Не удалось прочитать записи"));
            }
        }
        rows.append(sqlite3_column_int64(stmt, 0), fields);
    }
}

void DataSet::open() {
    if (m_open)
        return;
    sqlite3* db = m_connection.handle();
    RowStore rows(int(m_fields.size()));
    load(db, rows);
    emit aboutToReset();
    m_rows = std::move(rows);
    m_open = true;
    m_state = State::Browse;
    m_modified = false;
    m_current = m_rows.size() > 0 ? 0 : -1;
    emit reset();
    emit currentChanged(m_current);
}

void DataSet::close() {
    if (!m_open)
        return;
    emit aboutToReset();
    m_rows.clear();
    m_open = false;
    m_state = State::Browse;
    m_modified = false;
    m_buffer.clear();
    m_current = -1;
    emit reset();
    emit currentChanged(m_current);
}

int DataSet::recordCount() const {
    return m_rows.size() + (m_state == State::Insert ? 1 : 0);
}

int DataSet::storeRow(int row) const {
    return m_state == State::Insert && row > m_insertRow ? row - 1 : row;
}

void DataSet::setCurrent(int row) {
    m_current = row;
    if (m_quiet == 0)
        emit currentChanged(row);
}

void DataSet::moveTo(int row) {
    requireOpen();
    const bool droppingNewRow = m_state == State::Insert && !m_modified;
    const int insertRow = m_insertRow;
    settle();
    if (droppingNewRow && row > insertRow)
        --row;
    const int count = recordCount();
    setCurrent(count == 0 ? -1 : std::clamp(row, 0, count - 1));
}

void DataSet::first() {
    moveTo(0);
}

void DataSet::next() {
    requireOpen();
    settle();
    if (m_current + 1 < recordCount())
        setCurrent(m_current + 1);
    m_rows.prefetch(storeRow(m_current + kReadAhead));
}

std::optional<QString> DataSet::fieldValue(QStringView name) const {
    const int column = requireField(name);
    if (m_current < 0)
        return std::nullopt;
    return value(m_current, column);
}

void DataSet::setFieldValue(QStringView name, const std::optional<QString>& value) {
    setValue(requireField(name), value);
}

void DataSet::setValue(int column, const std::optional<QString>& value) {
    if (m_state == State::Browse)
        throw Error(QStringLiteral("Запись не редактируется: значение поля «%1» не принято.")
                        .arg(m_fields[column].name));
    m_buffer[size_t(column)] = value;
    m_assigned[size_t(column)] = true;
    m_modified = true;
    emit rowChanged(m_current);
}

std::optional<QString> DataSet::value(int row, int column) const {
    if (m_state != State::Browse && row == m_current)
        return m_buffer[size_t(column)];
    return m_rows.value(storeRow(row), column);
}

RowStore::Field DataSet::currentBytes(int column) const {
    if (m_current < 0)
        return std::nullopt;
    if (m_state == State::Browse)
        return m_rows.field(m_current, column);
    const auto& v = m_buffer[size_t(column)];
    if (!v)
        return std::nullopt;
    m_bytesCache[column] = v->toUtf8();
    return QByteArrayView(m_bytesCache[column]);
}

void DataSet::currentFields(std::span<RowStore::Field> out) const {
    if (m_current >= 0 && m_state == State::Browse) {
        m_rows.fields(m_current, out);
        return;
    }
    for (int c = 0; c < int(out.size()); ++c)
        out[size_t(c)] = currentBytes(c);
}

void DataSet::edit() {
    requireOpen();
    if (m_state != State::Browse)
        return;
    if (recordCount() == 0) {
        append();
        return;
    }
    m_buffer.clear();
    for (int c = 0; c < m_fields.size(); ++c)
        m_buffer.push_back(m_rows.value(m_current, c));
    m_assigned.assign(m_fields.size(), false);
    m_modified = false;
    m_state = State::Edit;
}

void DataSet::startInsert(int row) {
    m_beforeInsert = m_current;
    emit aboutToInsertRow(row);
    m_insertRow = row;
    m_state = State::Insert;
    m_buffer.assign(m_fields.size(), std::nullopt);
    m_assigned.assign(m_fields.size(), false);
    m_modified = false;
    emit rowInserted(row);
    setCurrent(row);
}

void DataSet::insert() {
    requireOpen();
    settle();
    startInsert(std::max(m_current, 0));
}

void DataSet::append() {
    requireOpen();
    settle();
    startInsert(recordCount());
}

void DataSet::checkSizes() const {
    for (int c = 0; c < m_fields.size(); ++c) {
        const auto& v = m_buffer[size_t(c)];
        if (!m_assigned[size_t(c)] || !v)
            continue;
        const auto characters = v->toUcs4().size();
        if (characters > m_fields[c].size)
            throw Error(
                QStringLiteral("Значение поля «%1» длиннее %2 символов (%3); запись не сохранена.")
                    .arg(m_fields[c].caption)
                    .arg(m_fields[c].size)
                    .arg(characters));
    }
}

void DataSet::bindOriginal(Statement& statement, int firstParameter, int row) const {
    for (int c = 0; c < m_fields.size(); ++c) {
        const RowStore::Field f = m_rows.field(row, c);
        if (f)
            statement.bindText(firstParameter + c, *f);
        else
            statement.bindNull(firstParameter + c);
    }
}

void DataSet::throwConflict(qint64 key, const QString& whatFailed) const {
    Statement exists(m_connection.handle(), QByteArray("SELECT EXISTS (SELECT 1 FROM ") +
                                                m_table.toUtf8() + " WHERE key = ?1)");
    exists.bindInt64(1, key);
    exists.step();
    if (exists.int64(0) == 0)
        throw Error(QStringLiteral("Запись удалена другой программой; %1.").arg(whatFailed));
    throw Error(
        QStringLiteral("Запись изменена другой программой после того, как была прочитана; %1. "
                       "Повторите поиск, чтобы увидеть её новые значения.")
            .arg(whatFailed));
}

void DataSet::writeEdit() {
    // Only the fields given a value are written; the row must still hold what was read. An
    // edit that assigned nothing leaves the file alone.
    if (std::ranges::find(m_assigned, true) == m_assigned.end())
        return;
    QByteArray sql = "UPDATE " + m_table.toUtf8() + " SET ";
    QByteArray where = " WHERE key = ?1";
    const int n = int(m_fields.size());
    bool first = true;
    for (int c = 0; c < n; ++c) {
        const QByteArray name = m_fields[c].name.toUtf8();
        where += " AND CAST(" + name + " AS TEXT) IS ?" + QByteArray::number(2 + c);
        if (!m_assigned[size_t(c)])
            continue;
        sql += (first ? "" : ", ") + name + " = ?" + QByteArray::number(2 + n + c);
        first = false;
    }
    sqlite3* db = m_connection.handle();
    const int row = storeRow(m_current);
    const qint64 key = m_rows.key(row);
    const QString doing = QStringLiteral("Не удалось сохранить запись");
    Statement update(db, sql + where, doing);
    update.bindInt64(1, key);
    bindOriginal(update, 2, row);
    for (int c = 0; c < n; ++c)
        if (m_assigned[size_t(c)])
            update.bindValue(2 + n + c, m_buffer[size_t(c)]);
    update.run();
    if (sqlite3_changes(db) == 0)
        throwConflict(key, QStringLiteral("изменения не сохранены"));
    // The row as the file now holds it: the new values, the others exactly as read. Their
    // shown text would not do: bytes that are not UTF-8 show as U+FFFD, and the next edit
    // would find the row "changed by another program".
    const auto columns = static_cast<size_t>(n);
    std::vector<QByteArray> utf8(columns);
    std::vector<RowStore::Field> fields(columns);
    for (size_t c = 0; c < columns; ++c) {
        const RowStore::Field stored = m_rows.field(row, int(c));
        if (m_assigned[c] ? !m_buffer[c] : !stored)
            continue;
        utf8[c] = m_assigned[c] ? m_buffer[c]->toUtf8() : stored->toByteArray();
        fields[c] = QByteArrayView(utf8[c]);
    }
    m_rows.replace(row, key, fields);
}

void DataSet::writeInsert() {
    QByteArray sql = "INSERT INTO " + m_table.toUtf8() + " (";
    QByteArray values = ") VALUES (";
    for (int c = 0; c < m_fields.size(); ++c) {
        sql += (c ? ", " : "") + m_fields[c].name.toUtf8();
        values += (c ? ", ?" : "?") + QByteArray::number(c + 1);
    }
    sqlite3* db = m_connection.handle();
    Statement insert(db, sql + values + ")", QStringLiteral("Не удалось сохранить новую запись"));
    for (int c = 0; c < m_fields.size(); ++c)
        insert.bindValue(c + 1, m_buffer[size_t(c)]);
    insert.run();
    const auto utf8 = utf8Of(m_buffer);
    m_rows.insert(m_insertRow, sqlite3_last_insert_rowid(db), fieldsOf(utf8, m_buffer));
}

void DataSet::post() {
    if (m_state == State::Browse)
        return;
    checkSizes();
    if (m_state == State::Edit)
        writeEdit();
    else
        writeInsert();
    m_state = State::Browse;
    m_modified = false;
    m_buffer.clear();
    emit rowChanged(m_current);
}

void DataSet::cancel() {
    if (m_state == State::Browse)
        return;
    const State was = m_state;
    m_modified = false;
    if (was == State::Edit) {
        m_state = State::Browse;
        m_buffer.clear();
        emit rowChanged(m_current);
        return;
    }
    const int row = m_insertRow;
    emit aboutToRemoveRow(row);
    m_state = State::Browse;
    m_buffer.clear();
    emit rowRemoved(row);
    const int count = recordCount();
    setCurrent(count == 0 ? -1 : std::clamp(m_beforeInsert, 0, count - 1));
}

void DataSet::remove() {
    requireOpen();
    if (m_state == State::Insert) {
        cancel();
        return;
    }
    if (recordCount() == 0)
        throw Error(QStringLiteral("Нет записи для удаления: список пуст."));
    const int row = m_current;
    const qint64 key = m_rows.key(row);
    QByteArray sql = "DELETE FROM " + m_table.toUtf8() + " WHERE key = ?1";
    for (int c = 0; c < m_fields.size(); ++c)
        sql +=
            " AND CAST(" + m_fields[c].name.toUtf8() + " AS TEXT) IS ?" + QByteArray::number(2 + c);
    sqlite3* db = m_connection.handle();
    Statement remove(db, sql, QStringLiteral("Не удалось удалить запись"));
    remove.bindInt64(1, key);
    bindOriginal(remove, 2, row);
    remove.run();
    if (sqlite3_changes(db) == 0)
        throwConflict(key, QStringLiteral("запись не удалена"));
    m_state = State::Browse;
    m_modified = false;
    m_buffer.clear();
    emit aboutToRemoveRow(row);
    m_rows.remove(row);
    emit rowRemoved(row);
    const int count = recordCount();
    setCurrent(count == 0 ? -1 : std::min(row, count - 1));
}

void DataSet::settle() {
    if (m_state == State::Browse)
        return;
    if (m_modified)
        post();
    else
        cancel();
}

void DataSet::sortBy(QStringView fieldName) {
    requireOpen();
    const int column = requireField(fieldName);
    settle();
    // The texts are read where they lie, a few rows ahead of the one asked for (see
    // RowStore::prefetch), from the sort's two threads at once.
    const std::vector<uint32_t> order =
        TextOrder::russian().sortedOrder(uint32_t(m_rows.size()), [&](uint32_t row) {
            m_rows.prefetch(int(row) + kReadAhead);
            return m_rows.field(int(row), column);
        });
    int current = -1;
    for (int i = 0; i < int(order.size()); ++i)
        if (int(order[size_t(i)]) == m_current)
            current = i;
    emit aboutToReset();
    m_rows.reorder(order);
    m_current = current;
    emit reset();
    emit currentChanged(m_current);
}
