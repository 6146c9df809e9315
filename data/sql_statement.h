#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <variant>
#include <vector>

#include "row_store.h"

// A statement as a value: its text and what its placeholders stand for, in order. User input
// reaches a store only this way, never as SQL text. Each engine numbers placeholders its own
// way ("?1" in SQLite, "$1" in PostgreSQL) and binds the values itself.
class SqlStatement {
public:
    // No value (NULL), a key, or a text as UTF-8.
    using Value = std::variant<std::monostate, qint64, QByteArray>;

    explicit SqlStatement(char placeholder, QByteArray sql = {})
        : sql(std::move(sql)), m_placeholder(placeholder) {}

    QByteArray sql;

    // Each adds a value and returns the placeholder to write for it.
    QByteArray key(qint64 key) { return add(key); }
    QByteArray text(const std::optional<QString>& text) {  // no value: NULL
        return text ? add(text->toUtf8()) : add(std::monostate{});
    }
    QByteArray field(const RowStore::Field& field) {  // no value: NULL
        return field ? add(field->toByteArray()) : add(std::monostate{});
    }
    QByteArray bytes(QByteArrayView text) { return add(text.toByteArray()); }  // a text's bytes

    QByteArray placeholder(int number) const { return m_placeholder + QByteArray::number(number); }
    const std::vector<Value>& values() const { return m_values; }

private:
    QByteArray add(Value value) {
        m_values.push_back(std::move(value));
        return placeholder(int(m_values.size()));
    }

    char m_placeholder;
    std::vector<Value> m_values;
};

// A name as an SQL identifier: in double quotes, which keep its letter case (PostgreSQL folds
// unquoted names to lower case) and make no name a keyword.
inline QByteArray quoted(QByteArrayView name) {
    return '"' + name.toByteArray().replace('"', "\"\"") + '"';
}
