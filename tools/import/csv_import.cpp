#include "csv_import.h"

#include <QFile>

#include "columns.h"
#include "csv_entries.h"
#include "csv_scratch.h"
#include "error.h"
#include "sqlite/schema.h"
#include "storage_engine.h"

namespace {

// "городской справочник (таблица tel) «tel.dll»", in the case the messages need.
QString directoryName(const DirectoryTable& table, const ConnectionSettings& target,
                      bool prepositional) {
    const bool city = &table == &kCityTable;
    const QString which = prepositional ? (city ? QStringLiteral("городском справочнике")
                                                : QStringLiteral("личном справочнике"))
                                        : (city ? QStringLiteral("городской справочник")
                                                : QStringLiteral("личный справочник"));
    return QStringLiteral("%1 (таблица %2) «%3»")
        .arg(which, QLatin1StringView(table.name), target.dataSource);
}

ImportOutcome load(StorageEngine& engine, CsvEntries& entries, const DirectoryTable& table,
                   const ConnectionSettings& target, ImportMode mode) {
    engine.open();
    if (!engine.canWrite(table)) {
        QString name = directoryName(table, target, false);
        name[0] = name[0].toUpper();
        throw Error(
            QStringLiteral("%1 доступен этому пользователю только для чтения; ничего не загружено.")
                .arg(name));
    }
    ImportOutcome outcome;
    EngineTransaction transaction(engine);
    // Asking also keeps other programs from writing the table until the end.
    const bool holdsEntries = engine.holdsEntries(table);
    if (holdsEntries && mode == ImportMode::IntoEmpty)
        throw Error(QStringLiteral("В %1 уже есть записи; ничего не загружено. Добавить к ним "
                                   "записи файла: --append, заменить ими: --replace.")
                        .arg(directoryName(table, target, true)));
    if (holdsEntries && mode == ImportMode::Replace)
        outcome.removed = engine.removeAll(table);
    outcome.entries = engine.insertAll(table, entries);
    transaction.commit();
    return outcome;
}

}  // namespace

ImportOutcome importCsv(const QString& csvPath, const DirectoryTable& table,
                        const ConnectionSettings& target, ImportMode mode) {
    const CsvScratch scratch(csvPath);
    CsvEntries entries(scratch, table, csvPath);
    if (!scratch.hasRecords())
        throw Error(QStringLiteral("В файле «%1» только заголовок, записей нет; справочник не "
                                   "изменён.")
                        .arg(csvPath));

    const bool file = target.provider == ConnectionSettings::Provider::SQLite;
    const bool create = file && !QFile::exists(target.dataSource);
    if (create)
        initDatabase(target.dataSource);
    try {
        const std::unique_ptr<StorageEngine> engine = makeStorageEngine(target);
        ImportOutcome outcome = load(*engine, entries, table, target, mode);
        outcome.created = create;
        return outcome;
    } catch (...) {
        if (create)
            QFile::remove(target.dataSource);
        throw;
    }
}
