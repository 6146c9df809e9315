#include "listing_reader.h"

#include "dataset.h"
#include "error.h"

ListingReader::ListingReader(const DataSet& dataSet, DirectoryKind kind)
    : m_dataSet(dataSet), m_kind(kind) {
    const char* const names[] = {"tel", "fam", "ul", "dom", "kv", "mob"};
    for (int i = 0; i < fieldCount(kind); ++i) {
        m_columns[size_t(i)] = dataSet.fieldIndex(QString::fromLatin1(names[i]));
        if (m_columns[size_t(i)] < 0)
            throw Error(
                QStringLiteral("В таблице «%1» нет поля «%2».").arg(dataSet.tableName(), names[i]));
    }
}

OutputEntry ListingReader::current() const {
    OutputEntry entry;
    for (int i = 0; i < fieldCount(m_kind); ++i)
        entry.fields[size_t(i)] = m_dataSet.currentBytes(m_columns[size_t(i)]);
    return entry;
}
