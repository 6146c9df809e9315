#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "error.h"
#include "row_store.h"
#include "server_address.h"
#include "sql_statement.h"

struct pg_conn;
struct pg_result;

struct ServerResultDeleter {
    void operator()(pg_result* result) const;
};
using ServerResult = std::unique_ptr<pg_result, ServerResultDeleter>;

// The values of a statement's $1, $2, ...: how user input reaches the server, never as SQL
// text. All go in binary: a text as its UTF-8 bytes (so a NUL in it is refused by the server
// instead of silently ending the text), a key as an int8.
class ServerParameters {
public:
    // Each returns the placeholder to write into the statement, e.g. "$3".
    QByteArray text(QByteArrayView utf8);
    QByteArray text(const std::optional<QString>& value);  // no value: NULL
    QByteArray field(const RowStore::Field& value);        // no value: NULL
    QByteArray key(qint64 key);
    // The values of a statement as a value, in their order.
    static ServerParameters of(const SqlStatement& statement);

    int size() const { return int(m_values.size()); }

private:
    friend class ServerSession;
    QByteArray add(unsigned type, std::optional<QByteArray> value);

    std::vector<unsigned> m_types;
    std::vector<std::optional<QByteArray>> m_values;
};

// A call failed because its connection is gone (see connectionLost in server_reason.h); the
// session has let it go, and the next call connects anew. What the call did may or may not
// have been done.
class ServerConnectionLost : public Error {
public:
    using Error::Error;
};

// One connection to the server of a ServerAddress. A connection that broke (the server
// restarted, the network dropped it, an administrator ended it) is noticed by the call that
// fails, which throws ServerConnectionLost; the next connect() makes a new one.
class ServerSession {
public:
    explicit ServerSession(ServerAddress address);
    ~ServerSession();
    ServerSession(const ServerSession&) = delete;
    ServerSession& operator=(const ServerSession&) = delete;

    const ServerAddress& address() const { return m_address; }
    // How messages name the directory: by the server connected to, or else by every server
    // the address lists.
    QString describe() const;
    // Connected, as far as anyone knows without asking the server.
    bool isConnected() const;
    // Inside a transaction that BEGIN opened.
    bool inTransaction() const;
    // Connects unless connected; throws Error naming the server when it cannot.
    void connect();
    void disconnect();

    // Runs one statement and returns its result, rows as text; throws Error for a failure,
    // opening with `doing` (in Russian: what the program was doing). (Rows in binary cost the
    // server five times as long: it makes a buffer for every value it sends; measured with
    // `bash bench/run_bench.sh --server --only search`.)
    ServerResult run(const QByteArray& sql, const ServerParameters& parameters,
                     const QString& doing);
    ServerResult run(const QByteArray& sql, const QString& doing);

    // Runs a COPY ... TO STDOUT and hands each row's data to `take` as it arrives: the rows
    // stream while the server still reads the table, and never lie in memory twice.
    void copyOut(const QByteArray& sql, const QString& doing,
                 const std::function<void(QByteArrayView)>& take);

    // Runs a COPY ... FROM STDIN, sending what `next` puts into its buffer until it returns
    // false.
    void copyIn(const QByteArray& sql, const std::function<bool(QByteArray&)>& next,
                const QString& doing);

    pg_conn* handle() const { return m_conn; }

    // A result's value as text, and its integers and booleans read from that text.
    static QByteArrayView text(const pg_result* result, int row, int column);
    static qint64 integer(const pg_result* result, int row, int column);
    static bool boolean(const pg_result* result, int row, int column);

    // The Error for a failed call: what was done, the server and the reason; a
    // ServerConnectionLost, the connection let go, when it is gone.
    [[noreturn]] void fail(const QString& doing, const pg_result* result);

private:
    void drain();

    ServerAddress m_address;
    pg_conn* m_conn = nullptr;
};
