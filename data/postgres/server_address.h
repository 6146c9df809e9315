#pragma once

#include <QByteArray>
#include <QString>

// Where a server directory lives: the libpq URI of the connection string's Data Source, with
// what the messages say of it. A password never comes this way: libpq finds it in ~/.pgpass
// or PGPASSWORD, so it can reach neither a command line nor a message.
struct ServerAddress {
    QByteArray uri;  // as written; holds no password
    QString host;    // the host or the socket folder, libpq's default where none is written
    QString port;
    QString database;

    // "сервер «127.0.0.1:5432», база данных «tel»": how every message names the directory.
    QString describe() const;

    // Throws Error for a URI that libpq cannot read or that carries a password.
    static ServerAddress parse(const QString& uri);
};
