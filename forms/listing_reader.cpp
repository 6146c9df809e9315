#include "listing_reader.h"

#include "dataset.h"
#include "error.h"

namespace {

constexpr qsizetype kMostFields = 8;

}  // namespace

ListingReader::ListingReader(const DataSet& dataSet, DirectoryKind kind)
    : m_dataSet(dataSet), m_kind(kind) {
    if (dataSet.fields().size() > kMostFields)
        throw Error(QStringLiteral("В таблице «%1» слишком много полей.").arg(dataSet.tableName()));
    const char* const names[] = {"tel", "fam", "ul", "dom", "kv", "mob"};
    for (int i = 0; i < fieldCount(kind); ++i) {
        m_columns[size_t(i)] = dataSet.fieldIndex(QString::fromLatin1(names[i]));
        if (m_columns[size_t(i)] < 0)
            throw Error(
                QStringLiteral("В таблице «%1» нет поля «%2».").arg(dataSet.tableName(), names[i]));
    }
}

OutputEntry ListingReader::current() const {
    // The row's fields in one pass over its record, then picked by name.
    std::array<RowStore::Field, kMostFields> all;
    m_dataSet.currentFields(std::span(all).first(m_dataSet.fields().size()));
    OutputEntry entry;
    for (int i = 0; i < fieldCount(m_kind); ++i)
        entry.fields[size_t(i)] = all[size_t(m_columns[size_t(i)])];
    return entry;
}
