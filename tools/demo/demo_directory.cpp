#include "demo_directory.h"

#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "columns.h"
#include "demo_entries.h"
#include "sqlite/fold_function.h"
#include "sqlite/schema.h"
#include "sqlite/search_index.h"
#include "sqlite/statement.h"
#include "system_reason.h"

namespace {

// One statement inserts many rows: AUTOINCREMENT writes its counter once per statement, and
// that bookkeeping costs more than the row itself.
constexpr int kRowsPerInsert = 100;

QByteArray insertSql(const DirectoryTable& table, int rows) {
    QByteArray sql = QByteArray("INSERT INTO ") + table.name + " (";
    QByteArray row = "(";
    for (size_t c = 0; c < table.columns.size(); ++c) {
        sql += QByteArray(c ? ", " : "") + table.columns[c].name;
        row += c ? ",?" : "?";
    }
    sql += ") VALUES ";
    row += ')';
    for (int i = 0; i < rows; ++i) {
        if (i > 0)
            sql += ',';
        sql += row;
    }
    return sql;
}

// The file is brand new and nobody else knows it yet, so a crash may leave garbage: no
// journal, no waiting for the disk, and a cache large enough to sort the indexes in memory.
// (temp_store=MEMORY would be slower: the sorter then allocates every record on its own
// instead of packing them into one block.)
const char kBulkLoadSql[] =
    "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; PRAGMA locking_mode=EXCLUSIVE;"
    " PRAGMA cache_size=-262144;";

class Database {
public:
    explicit Database(const QString& path) {
        const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db,
                                       SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        if (rc != SQLITE_OK)
            throwSqliteError(m_db, rc, QStringLiteral("Не удалось создать файл «%1»").arg(path));
    }
    ~Database() { sqlite3_close_v2(m_db); }
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    sqlite3* handle() const { return m_db; }

    // Closing writes nothing more, but a failure still means the file may be unusable.
    void close() {
        const int rc = sqlite3_close(m_db);
        if (rc != SQLITE_OK)
            throwSqliteError(m_db, rc, QStringLiteral("Не удалось закрыть файл"));
        m_db = nullptr;
    }

private:
    sqlite3* m_db = nullptr;
};

// Binds one entry, the table's columns in field order, to the parameters after `first`.
void bindEntry(Statement& insert, int first, const DemoEntry& entry, const DirectoryTable& table) {
    for (const Column& column : table.columns) {
        const std::optional<std::string_view> value = entry.value(column.field);
        if (value)
            insert.bindText(++first, QByteArrayView(value->data(), qsizetype(value->size())));
        else
            insert.bindNull(++first);
    }
}

void insertEntries(sqlite3* db, DemoEntryMaker::Kind kind, std::uint64_t seed, qint64 count) {
    const bool personal = kind == DemoEntryMaker::Kind::Personal;
    const DirectoryTable& table = personal ? kPersonalTable : kCityTable;
    const int columns = int(table.columns.size());
    const QString doing = personal ? QStringLiteral("Не удалось записать личный справочник")
                                   : QStringLiteral("Не удалось записать городской справочник");
    DemoEntryMaker maker(seed, kind, std::uint64_t(count));
    DemoEntry entry;
    Transaction transaction(db);
    Statement batch(db, insertSql(table, kRowsPerInsert), doing);
    Statement single(db, insertSql(table, 1), doing);
    for (qint64 left = count; left > 0;) {
        const int rows = left >= kRowsPerInsert ? kRowsPerInsert : 1;
        Statement& insert = rows > 1 ? batch : single;
        for (int row = 0; row < rows; ++row) {
            maker.make(entry);
            bindEntry(insert, row * columns, entry, table);
        }
        insert.run();
        insert.reset();
        left -= rows;
    }
    transaction.commit();
}

void fill(const QString& path, const DemoOptions& options) {
    Database database(path);
    sqlite3* db = database.handle();
    execute(db, kBulkLoadSql, QStringLiteral("Не удалось подготовить файл «%1»").arg(path));
    createTables(db);
    insertEntries(db, DemoEntryMaker::Kind::City, options.seed, options.cityEntries);
    insertEntries(db, DemoEntryMaker::Kind::Personal, options.seed, options.personalEntries);
    // Indexing entries already in place sorts once instead of growing the trees row by row.
    registerFoldFunction(db);
    Transaction transaction(db);
    createSearchIndex(db);
    transaction.commit();
    execute(db, "PRAGMA journal_mode=DELETE",
            QStringLiteral("Не удалось закрыть файл «%1»").arg(path));
    database.close();
}

// A fresh name beside the target, created empty so that nobody else takes it. Created with
// the usual permissions of a new file, unlike QTemporaryFile's private ones.
QString reserveTemporaryName(const QString& path) {
    const QFileInfo target(path);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString name = target.dir().filePath(
            QStringLiteral(".%1.%2.tmp")
                .arg(target.fileName())
                .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0')));
        QFile file(name);
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return name;
        if (!file.exists())
            throw Error(QStringLiteral("Не удалось создать файл в папке «%1»: %2.")
                            .arg(QDir::toNativeSeparators(target.absolutePath()),
                                 systemReason(file.errorString())));
    }
    throw Error(QStringLiteral("Не удалось подобрать временное имя для файла «%1».").arg(path));
}

[[noreturn]] void refuseExisting(const QString& path) {
    throw DemoFileExists(
        QStringLiteral("Файл «%1» уже существует; чтобы заменить его, укажите --force.").arg(path));
}

void moveIntoPlace(const QString& temporary, const QString& path, bool replace) {
    if (!replace) {
        // QFile::rename never overwrites, so a file that appeared meanwhile is left alone.
        if (QFileInfo::exists(path))
            refuseExisting(path);
        QFile file(temporary);
        if (!file.rename(path))
            throw Error(QStringLiteral("Не удалось переименовать «%1» в «%2»: %3.")
                            .arg(temporary, path, systemReason(file.errorString())));
        return;
    }
    // The replacement keeps who may read and write the directory.
    if (QFileInfo::exists(path) && !QFile::setPermissions(temporary, QFile::permissions(path)))
        throw Error(QStringLiteral("Не удалось задать права доступа файлу «%1».").arg(temporary));
    // rename() replaces the old file in one step: readers see the old file or the new one.
    if (std::rename(QFile::encodeName(temporary).constData(),
                    QFile::encodeName(path).constData()) != 0)
        throw Error(
            QStringLiteral("Не удалось заменить файл «%1»: %2.").arg(path, systemReason(errno)));
}

}  // namespace

void writeDemoDirectory(const QString& path, const DemoOptions& options) {
    if (options.cityEntries < 0 || options.personalEntries < 0)
        throw Error(QStringLiteral("Число записей не может быть отрицательным."));
    if (!options.replace && QFileInfo::exists(path))
        refuseExisting(path);
    const QString temporary = reserveTemporaryName(path);
    try {
        fill(temporary, options);
        moveIntoPlace(temporary, path, options.replace);
    } catch (...) {
        QFile::remove(temporary);
        QFile::remove(temporary + QStringLiteral("-journal"));
        throw;
    }
}
