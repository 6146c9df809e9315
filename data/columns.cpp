#include "columns.h"

#include <QLatin1StringView>

#include "error.h"

int DirectoryTable::indexOf(Field field) const {
    for (size_t i = 0; i < columns.size(); ++i)
        if (columns[i].field == field)
            return int(i);
    return -1;
}

int DirectoryTable::indexOf(QStringView name) const {
    for (size_t i = 0; i < columns.size(); ++i)
        if (QLatin1StringView(columns[i].name).compare(name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

const Column& DirectoryTable::column(Field field) const {
    const int index = indexOf(field);
    if (index < 0)
        throw Error(QStringLiteral("В таблице «%1» нет такого поля.").arg(QLatin1StringView(name)));
    return columns[size_t(index)];
}

std::vector<std::optional<QString>> carriedOver(const DirectoryTable& from,
                                                std::span<const std::optional<QString>> values,
                                                const DirectoryTable& into,
                                                const std::optional<QString>& lacking) {
    std::vector<std::optional<QString>> entry;
    for (const Column& c : into.columns) {
        const int source = from.indexOf(c.field);
        entry.push_back(source < 0 ? lacking : values[size_t(source)]);
    }
    return entry;
}
