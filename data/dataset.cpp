#include "dataset.h"

#include <algorithm>

#include "connection.h"
#include "error.h"
#include "text_order.h"

DataSet::DataSet(Connection& connection, const DirectoryTable& table, QObject* parent)
    : QObject(parent),
      m_connection(connection),
      m_table(table),
      m_rows(int(table.columns.size())),
      m_edited(table.columns.size()) {}

DataSet::QuietMoves::~QuietMoves() {
    if (--m_set.m_quiet == 0)
        emit m_set.currentChanged(m_set.m_current);
}

int DataSet::requireField(QStringView name) const {
    const int index = fieldIndex(name);
    if (index < 0)
        throw Error(QStringLiteral("В таблице «%1» нет поля «%2».")
                        .arg(QLatin1StringView(m_table.name), name.toString()));
    return index;
}

void DataSet::requireOpen() const {
    if (!m_open)
        throw Error(
            QStringLiteral("Операция невозможна: набор данных «%1» закрыт.").arg(objectName()));
}

void DataSet::open() {
    if (!m_open)
        reopen();
}

void DataSet::reopen() {
    StorageEngine& engine = m_connection.engine();
    RowStore rows(fieldCount());
    load(engine, rows);
    emit aboutToReset();
    m_rows = std::move(rows);
    m_open = true;
    m_state = State::Browse;
    m_modified = false;
    m_buffer.clear();
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

bool DataSet::isReadOnly() const {
    return !m_connection.canWrite(m_table);
}

int DataSet::recordCount() const {
    return m_rows.size() + (m_state == State::Insert ? 1 : 0);
}

qint64 DataSet::currentKey() const {
    if (m_current < 0 || (m_state == State::Insert && m_current == m_insertRow))
        return -1;
    return m_rows.key(storeRow(m_current));
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
    m_rows.prefetch(storeRow(m_current + RowStore::kReadAhead));
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
                        .arg(QLatin1StringView(m_table.columns[size_t(column)].name)));
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

void DataSet::currentFields(std::span<RowStore::Field> out) const {
    if (m_current >= 0 && m_state == State::Browse) {
        m_rows.fields(m_current, out);
        return;
    }
    for (size_t c = 0; c < out.size(); ++c) {
        const auto& v = m_current < 0 ? std::nullopt : m_buffer[c];
        if (!v) {
            out[c] = std::nullopt;
            continue;
        }
        m_edited[c] = v->toUtf8();
        out[c] = QByteArrayView(m_edited[c]);
    }
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
    for (int c = 0; c < fieldCount(); ++c)
        m_buffer.push_back(m_rows.value(m_current, c));
    m_assigned.assign(size_t(fieldCount()), false);
    m_modified = false;
    m_state = State::Edit;
}

void DataSet::startInsert(int row) {
    m_beforeInsert = m_current;
    emit aboutToInsertRow(row);
    m_insertRow = row;
    m_state = State::Insert;
    m_buffer.assign(size_t(fieldCount()), std::nullopt);
    m_assigned.assign(size_t(fieldCount()), false);
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
    for (size_t c = 0; c < m_table.columns.size(); ++c) {
        const auto& v = m_buffer[c];
        if (!m_assigned[c] || !v)
            continue;
        const Column& column = m_table.columns[c];
        const auto characters = v->toUcs4().size();
        if (characters > column.size)
            throw Error(
                QStringLiteral("Значение поля «%1» длиннее %2 символов (%3); запись не сохранена.")
                    .arg(column.heading)
                    .arg(column.size)
                    .arg(characters));
    }
}

std::vector<RowStore::Field> DataSet::storedFields(int storeRow) const {
    std::vector<RowStore::Field> fields(static_cast<size_t>(fieldCount()));
    m_rows.fields(storeRow, fields);
    return fields;
}

void DataSet::refuseConflict(StorageEngine::Outcome outcome, const QString& whatFailed) const {
    if (outcome == StorageEngine::Outcome::Deleted)
        throw EditConflict(QStringLiteral("Запись удалена другой программой; %1.").arg(whatFailed));
    if (outcome == StorageEngine::Outcome::Changed)
        throw EditConflict(
            QStringLiteral("Запись изменена другой программой после того, как была прочитана; "
                           "%1. Повторите поиск, чтобы увидеть её новые значения.")
                .arg(whatFailed));
}

void DataSet::writeEdit() {
    // Only the fields given a value are written; the row must still hold what was read. An
    // edit that assigned nothing leaves the store alone.
    std::vector<StorageEngine::FieldWrite> writes;
    for (size_t c = 0; c < m_assigned.size(); ++c)
        if (m_assigned[c])
            writes.push_back({int(c), m_buffer[c]});
    if (writes.empty())
        return;
    const int row = storeRow(m_current);
    const qint64 key = m_rows.key(row);
    const std::vector<RowStore::Field> original = storedFields(row);
    refuseConflict(m_connection.engine().update(m_table, key, original, writes),
                   QStringLiteral("изменения не сохранены"));
    // The row as the store now holds it: the new values, the others exactly as read. Their
    // shown text would not do: bytes that are not UTF-8 show as U+FFFD, and the next edit
    // would find the row "changed by another program".
    const size_t n = original.size();
    std::vector<QByteArray> utf8(n);
    std::vector<RowStore::Field> fields(n);
    for (size_t c = 0; c < n; ++c) {
        if (m_assigned[c] ? !m_buffer[c] : !original[c])
            continue;
        utf8[c] = m_assigned[c] ? m_buffer[c]->toUtf8() : original[c]->toByteArray();
        fields[c] = QByteArrayView(utf8[c]);
    }
    m_rows.replace(row, key, fields);
}

void DataSet::writeInsert() {
    const qint64 key = m_connection.engine().insert(m_table, m_buffer);
    std::vector<QByteArray> utf8(m_buffer.size());
    std::vector<RowStore::Field> fields(m_buffer.size());
    for (size_t c = 0; c < m_buffer.size(); ++c) {
        if (!m_buffer[c])
            continue;
        utf8[c] = m_buffer[c]->toUtf8();
        fields[c] = QByteArrayView(utf8[c]);
    }
    m_rows.insert(m_insertRow, key, fields);
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
    refuseConflict(m_connection.engine().remove(m_table, m_rows.key(row), storedFields(row)),
                   QStringLiteral("запись не удалена"));
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
    sortByColumn(requireField(fieldName));
}

void DataSet::sortBy(Field field) {
    requireOpen();
    sortByColumn(m_table.indexOf(field));
}

void DataSet::sortByColumn(int column) {
    if (column < 0)
        throw Error(
            QStringLiteral("В таблице «%1» нет такого поля.").arg(QLatin1StringView(m_table.name)));
    settle();
    const std::vector<uint32_t> order = columnOrder(m_rows, column);
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
