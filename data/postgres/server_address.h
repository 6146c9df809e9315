#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Where a server directory lives: the libpq URI of the connection string's Data Source, with
// what the messages say of it. A password never comes this way: libpq finds it in ~/.pgpass
// or PGPASSWORD, so it can reach neither a command line nor a message.
struct ServerAddress {
    QByteArray uri;       // as written; holds no password
    QStringList servers;  // each server the URI lists, as serverName() shows it
    QString database;

    // "сервер «dbhost:5432», база данных «tel»", or "серверы «a:5432, b:5432», ...": how a
    // message names the directory before a connection says which server it reached.
    QString describe() const;
    // The same for the server a connection reached.
    QString describe(const QString& server) const;

    // "dbhost:5432", "[::1]:5432", or a Unix socket's file "/run/postgresql/.s.PGSQL.5432".
    static QString serverName(const QString& host, const QString& port);

    // Throws Error for a URI that libpq cannot read or that carries a password.
    static ServerAddress parse(const QString& uri);
};
