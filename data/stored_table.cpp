#include "stored_table.h"

#include <QLatin1StringView>

#include "error.h"
#include "sql_statement.h"

namespace {

const FoundColumn* find(std::span<const FoundColumn> found, const char* declared) {
    const QLatin1StringView name(declared);
    const FoundColumn* anyCase = nullptr;
    for (const FoundColumn& column : found) {
        if (column.name == name)
            return &column;
        if (!anyCase && column.name.compare(name, Qt::CaseInsensitive) == 0)
            anyCase = &column;
    }
    return anyCase;
}

}  // namespace

StoredTable StoredTable::declared(const DirectoryTable& shape) {
    StoredTable stored{&shape, quoted(shape.name), quoted(kKeyColumn), kKeyColumn, {}};
    for (const Column& c : shape.columns)
        stored.columns.push_back(quoted(c.name));
    return stored;
}

StoredTable StoredTable::check(const DirectoryTable& shape, std::span<const FoundColumn> found,
                               const StoreWords& words) {
    const QString table = QString::fromLatin1(shape.name);
    if (found.empty())
        throw Error(
            QStringLiteral("%1 нет таблицы «%2»: это не база данных телефонного справочника.")
                .arg(words.in, table));
    const FoundColumn* key = find(found, kKeyColumn);
    if (!key || !key->servesAsKey)
        throw Error(QStringLiteral("В таблице «%1» %2 столбец «%3» должен быть %4.")
                        .arg(table, words.of, QLatin1StringView(kKeyColumn), words.keyKind));
    StoredTable stored{
        &shape, quoted(shape.name), quoted(key->name.toUtf8()), key->name.toUtf8(), {}};
    for (const Column& c : shape.columns) {
        const QString name = QString::fromLatin1(c.name).toLower();
        const FoundColumn* column = find(found, c.name);
        if (!column)
            throw Error(
                QStringLiteral("В таблице «%1» %2 нет столбца «%3».").arg(table, words.of, name));
        if (!column->keepsText)
            throw Error(
                QStringLiteral("Столбец «%1» таблицы «%2» %3 имеет тип %4, а должен быть %5.")
                    .arg(name, table, words.of, column->type, words.textKind));
        stored.columns.push_back(quoted(column->name.toUtf8()));
    }
    return stored;
}

const QByteArray& StoredTable::column(Field field) const {
    return columns[size_t(&shape->column(field) - shape->columns.data())];
}

QByteArray StoredTable::columnList(QByteArrayView qualifier) const {
    QByteArray list;
    for (const QByteArray& column : columns)
        list += (list.isEmpty() ? "" : ", ") + qualifier.toByteArray() + column;
    return list;
}
