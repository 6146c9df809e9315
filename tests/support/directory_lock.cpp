#include "directory_lock.h"

#include <libpq-fe.h>
#include <sqlite3.h>

#include <QFile>

#include "connection_settings.h"
#include "error.h"

DirectoryLock::DirectoryLock(const QString& connectionString) {
    const ConnectionSettings settings = ConnectionSettings::parse(connectionString);
    if (settings.provider == ConnectionSettings::Provider::PostgreSQL) {
        m_server = PQconnectdb(settings.dataSource.toUtf8().constData());
        if (PQstatus(m_server) != CONNECTION_OK)
            throw Error(QString::fromUtf8(PQerrorMessage(m_server)));
        return;
    }
    sqlite3_open_v2(QFile::encodeName(settings.dataSource).constData(), &m_file,
                    SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_busy_timeout(m_file, 3000);
}

DirectoryLock::~DirectoryLock() {
    sqlite3_close_v2(m_file);
    PQfinish(m_server);
}

void DirectoryLock::run(const char* sql) {
    if (m_server) {
        PGresult* result = PQexec(m_server, sql);
        const bool ok = PQresultStatus(result) == PGRES_COMMAND_OK;
        PQclear(result);
        if (!ok)
            throw Error(QString::fromUtf8(PQerrorMessage(m_server)));
        return;
    }
    char* message = nullptr;
    if (sqlite3_exec(m_file, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        const QString text = QString::fromUtf8(message);
        sqlite3_free(message);
        throw Error(text);
    }
}

void DirectoryLock::lock(bool exclusive) {
    if (m_server)
        run(exclusive ? "BEGIN; LOCK TABLE tel, lich IN ACCESS EXCLUSIVE MODE" : "BEGIN");
    else
        run(exclusive ? "BEGIN EXCLUSIVE" : "BEGIN IMMEDIATE");
    // The write a long transaction would have made.
    run("UPDATE lich SET tel = tel WHERE key = (SELECT min(key) FROM lich)");
}

void DirectoryLock::unlock() {
    run("COMMIT");
}
