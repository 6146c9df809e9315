#include "demo_server.h"

#include "columns.h"
#include "demo_entries.h"
#include "postgres/copy_binary.h"
#include "postgres/server_schema.h"
#include "postgres/server_session.h"

namespace {

constexpr qsizetype kRowsPerChunk = 10000;

// "COPY tel (tel, fam, ...) FROM STDIN (FORMAT binary, FREEZE)": the rows go in frozen, as
// the table is new in this transaction, so the first search need not touch every page again.
QByteArray copySql(const DirectoryTable& table) {
    QByteArray sql = QByteArray("COPY ") + table.name + " (";
    for (size_t c = 0; c < table.columns.size(); ++c)
        sql += QByteArray(c ? ", " : "") + table.columns[c].name;
    return sql + ") FROM STDIN (FORMAT binary, FREEZE)";
}

void copyEntries(ServerSession& session, DemoEntryMaker::Kind kind, std::uint64_t seed,
                 qint64 count) {
    const bool personal = kind == DemoEntryMaker::Kind::Personal;
    const DirectoryTable& table = personal ? kPersonalTable : kCityTable;
    const QString doing = personal ? QStringLiteral("Не удалось записать личный справочник")
                                   : QStringLiteral("Не удалось записать городской справочник");
    DemoEntryMaker maker(seed, kind, std::uint64_t(count));
    DemoEntry entry;
    std::vector<RowStore::Field> fields(table.columns.size());
    qint64 left = count;
    bool started = false;
    session.copyIn(
        copySql(table),
        [&](QByteArray& out) {
            if (!started) {
                appendCopyHeader(out);
                started = true;
            }
            for (qsizetype row = 0; row < kRowsPerChunk && left > 0; ++row, --left) {
                maker.make(entry);
                for (size_t c = 0; c < fields.size(); ++c) {
                    const std::optional<std::string_view> value =
                        entry.value(table.columns[c].field);
                    fields[c] = value ? RowStore::Field(QByteArrayView(*value)) : std::nullopt;
                }
                appendCopyRow(out, fields);
            }
            if (left > 0)
                return true;
            appendCopyEnd(out);
            return false;
        },
        doing);
}

}  // namespace

void writeDemoServerDirectory(const QString& uri, const DemoOptions& options) {
    if (options.cityEntries < 0 || options.personalEntries < 0)
        throw Error(QStringLiteral("Число записей не может быть отрицательным."));
    ServerSession session(ServerAddress::parse(uri));
    const QString doing = QStringLiteral("Не удалось создать справочник");
    session.run("BEGIN", doing);
    try {
        createServerTables(session);
    } catch (const DirectoryTablesExist& e) {
        throw DemoFileExists(e.text());
    }
    copyEntries(session, DemoEntryMaker::Kind::City, options.seed, options.cityEntries);
    copyEntries(session, DemoEntryMaker::Kind::Personal, options.seed, options.personalEntries);
    // Indexing entries already in place sorts once instead of growing the trees row by row;
    // the statistics let the server choose the index that selects the fewest entries.
    createServerSearchIndex(session);
    session.run(QByteArray("ANALYZE ") + kCityTable.name + ", " + kPersonalTable.name, doing);
    session.run("COMMIT", doing);
}
