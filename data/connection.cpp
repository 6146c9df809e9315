#include "connection.h"

#include <sqlite3.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>

#include "connection_settings.h"
#include "error.h"
#include "schema.h"
#include "statement.h"
#include "text_fold.h"

namespace {

constexpr int kBusyTimeoutMs = 3000;

bool writable(const QString& path) {
    return ::access(QFile::encodeName(path).constData(), W_OK) == 0;
}

}  // namespace

Connection::Connection(QString connectionString, QObject* parent)
    : QObject(parent), m_connectionString(std::move(connectionString)) {
    setObjectName(QStringLiteral("connection"));
}

Connection::~Connection() {
    close();
}

QString Connection::fileName() const {
    return ConnectionSettings::parse(m_connectionString).dataSource;
}

void Connection::open() {
    if (m_db)
        return;
    const ConnectionSettings settings = ConnectionSettings::parse(m_connectionString);
    const QFileInfo file(QDir::current().absoluteFilePath(settings.dataSource));
    const QString name = settings.dataSource;
    const QString where = QDir::toNativeSeparators(file.absolutePath());

    if (!file.exists())
        throw Error(
            QStringLiteral("Файл базы данных «%1» не найден в папке «%2».").arg(name, where));
    if (!file.isFile())
        throw Error(QStringLiteral("«%1» в папке «%2» — не файл базы данных.").arg(name, where));
    if (settings.readWrite &&
        (!writable(file.absoluteFilePath()) || !writable(file.absolutePath())))
        throw Error(QStringLiteral("Файл базы данных «%1» (папка «%2») доступен только для чтения; "
                                   "справочнику нужна запись в него и в его папку.")
                        .arg(name, where));

    sqlite3* db = nullptr;
    // The connection is only ever used from the thread of the windows; without SQLite's
    // per-connection mutex, reading a column does not lock and unlock it every time.
    const int flags =
        (settings.readWrite ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY) | SQLITE_OPEN_NOMUTEX;
    const int rc = sqlite3_open_v2(QFile::encodeName(file.absoluteFilePath()).constData(), &db,
                                   flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString reason = QString::fromUtf8(sqlite3_errstr(rc));
        sqlite3_close_v2(db);
        throw Error(
            QStringLiteral("Не удалось открыть файл базы данных «%1»: %2.").arg(name, reason));
    }
    try {
        sqlite3_extended_result_codes(db, 1);
        sqlite3_busy_timeout(db, kBusyTimeoutMs);
        // Reading a large directory through memory mapping spares a system call per page.
        execute(db, "PRAGMA mmap_size = 1073741824",
                QStringLiteral("Не удалось открыть файл базы данных"));
        if (settings.readWrite && sqlite3_db_readonly(db, "main") == 1)
            throw Error(
                QStringLiteral("Файл базы данных «%1» доступен только для чтения.").arg(name));
        m_hasSearchIndex = checkSchema(db, name);
        registerFoldFunction(db);
    } catch (...) {
        sqlite3_close_v2(db);
        throw;
    }
    m_db = db;
}

void Connection::close() {
    if (!m_db)
        return;
    sqlite3_close_v2(m_db);
    m_db = nullptr;
}

sqlite3* Connection::handle() {
    open();
    return m_db;
}
