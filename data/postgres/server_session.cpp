#include "server_session.h"

#include <libpq-fe.h>
#include <locale.h>

#include <QtEndian>
#include <charconv>

#include "error.h"
#include "server_reason.h"

namespace {

// Type codes from PostgreSQL's catalog (pg_type), fixed since its earliest versions.
constexpr Oid kTextType = 25;
constexpr Oid kInt8Type = 20;
constexpr int kBinary = 1;
constexpr int kText = 0;

// Unless the URI says otherwise, an unreachable host fails within seconds, not after the
// system's TCP time-out of minutes.
constexpr char kConnectTimeoutSeconds[] = "10";

// A row or table another program keeps locked fails a statement after this long instead of
// leaving the window waiting; the file waits as long.
constexpr char kLockTimeout[] = "SET lock_timeout = '3s'";

// While one lives, this thread's messages are the C locale's: libpq's own words, and the
// system's it quotes, stay English whatever the user's language (Debian ships libpq's Russian
// texts), so that connectReason can tell the causes of a failed connection apart.
class EnglishMessages {
public:
    EnglishMessages(const EnglishMessages&) = delete;
    EnglishMessages& operator=(const EnglishMessages&) = delete;
#ifndef LC_MESSAGES_MASK  // no POSIX thread locales: the messages stay as they are
    EnglishMessages() = default;
#else
    EnglishMessages() {
        // The thread's locale with C's messages; newlocale takes the copy over when it succeeds.
        const locale_t copy = ::duplocale(::uselocale(nullptr));
        m_english = copy ? ::newlocale(LC_MESSAGES_MASK, "C", copy) : nullptr;
        if (!m_english && copy)
            ::freelocale(copy);
        if (m_english)
            m_was = ::uselocale(m_english);
    }
    ~EnglishMessages() {
        if (m_english) {
            ::uselocale(m_was);
            ::freelocale(m_english);
        }
    }

private:
    locale_t m_english = nullptr;
    locale_t m_was = nullptr;
#endif
};

}  // namespace

void ServerResultDeleter::operator()(pg_result* result) const {
    PQclear(result);
}

QByteArray ServerParameters::add(unsigned type, std::optional<QByteArray> value) {
    m_types.push_back(type);
    m_values.push_back(std::move(value));
    return '$' + QByteArray::number(size());
}

QByteArray ServerParameters::text(QByteArrayView utf8) {
    return add(kTextType, utf8.toByteArray());
}

QByteArray ServerParameters::text(const std::optional<QString>& value) {
    return add(kTextType, value ? std::optional(value->toUtf8()) : std::nullopt);
}

QByteArray ServerParameters::field(const RowStore::Field& value) {
    return add(kTextType, value ? std::optional(value->toByteArray()) : std::nullopt);
}

QByteArray ServerParameters::key(qint64 key) {
    QByteArray bytes(sizeof key, Qt::Uninitialized);
    qToBigEndian(key, bytes.data());
    return add(kInt8Type, bytes);
}

ServerParameters ServerParameters::of(const SqlStatement& statement) {
    ServerParameters parameters;
    for (const SqlStatement::Value& value : statement.values()) {
        if (const auto* key = std::get_if<qint64>(&value))
            parameters.key(*key);
        else if (const auto* text = std::get_if<QByteArray>(&value))
            parameters.text(QByteArrayView(*text));
        else
            parameters.field(std::nullopt);
    }
    return parameters;
}

ServerSession::ServerSession(ServerAddress address) : m_address(std::move(address)) {}

ServerSession::~ServerSession() {
    disconnect();
}

bool ServerSession::isConnected() const {
    return m_conn && PQstatus(m_conn) == CONNECTION_OK;
}

bool ServerSession::inTransaction() const {
    const PGTransactionStatusType status = m_conn ? PQtransactionStatus(m_conn) : PQTRANS_UNKNOWN;
    return status == PQTRANS_INTRANS || status == PQTRANS_INERROR;
}

QString ServerSession::describe() const {
    if (!m_conn)
        return m_address.describe();
    return m_address.describe(ServerAddress::serverName(QString::fromUtf8(PQhost(m_conn)),
                                                        QString::fromUtf8(PQport(m_conn))));
}

void ServerSession::connect() {
    if (isConnected())
        return;
    disconnect();
    // Later keywords override earlier ones: the URI may set its own time-out, but the texts
    // always travel as UTF-8.
    const char* const keywords[] = {"connect_timeout", "fallback_application_name", "dbname",
                                    "client_encoding", nullptr};
    const char* const values[] = {kConnectTimeoutSeconds, "telspr", m_address.uri.constData(),
                                  "UTF8", nullptr};
    PGconn* conn = nullptr;
    {
        const EnglishMessages english;
        conn = PQconnectdbParams(keywords, values, 1);
    }
    if (!conn)
        throw Error(QStringLiteral("Не удалось подключиться к справочнику (%1): не хватает памяти.")
                        .arg(m_address.describe()));
    if (PQstatus(conn) != CONNECTION_OK) {
        const QString reason = connectReason(conn);
        PQfinish(conn);
        throw Error(QStringLiteral("Не удалось подключиться к справочнику (%1): %2.")
                        .arg(m_address.describe(), reason));
    }
    m_conn = conn;
    const QByteArray encoding = PQparameterStatus(conn, "server_encoding");
    if (encoding != "UTF8") {
        const QString text = QStringLiteral(
                                 "База данных справочника (%1) в кодировке %2; справочнику "
                                 "нужна база в кодировке UTF8, чтобы хранить любой текст.")
                                 .arg(describe(), QString::fromLatin1(encoding));
        disconnect();
        throw Error(text);
    }
    // The server's notices (not errors: those fail the call) are no business of a user's.
    PQsetNoticeProcessor(
        conn, [](void*, const char*) {}, nullptr);
    ServerResult set(PQexec(conn, kLockTimeout));
    if (PQresultStatus(set.get()) != PGRES_COMMAND_OK) {
        const QString text = QStringLiteral("Не удалось подключиться к справочнику (%1): %2.")
                                 .arg(describe(), serverReason(conn, set.get()));
        disconnect();
        throw Error(text);
    }
}

void ServerSession::disconnect() {
    PQfinish(m_conn);
    m_conn = nullptr;
}

void ServerSession::fail(const QString& doing, const pg_result* result) {
    QString text =
        QStringLiteral("%1 (%2): %3.").arg(doing, describe(), serverReason(m_conn, result));
    if (!connectionLost(m_conn, result))
        throw Error(text);
    disconnect();
    throw ServerConnectionLost(text +
                               QStringLiteral(" Следующее действие подключится к серверу заново."));
}

ServerResult ServerSession::run(const QByteArray& sql, const ServerParameters& parameters,
                                const QString& doing) {
    connect();
    const int n = parameters.size();
    std::vector<const char*> values(size_t(n), nullptr);
    std::vector<int> lengths(size_t(n), 0), formats(size_t(n), kBinary);
    for (size_t i = 0; i < size_t(n); ++i) {
        if (const auto& v = parameters.m_values[i]) {
            values[i] = v->constData();  // never null, even for the empty text
            lengths[i] = int(v->size());
        }
    }
    ServerResult result(PQexecParams(m_conn, sql.constData(), n, parameters.m_types.data(),
                                     values.data(), lengths.data(), formats.data(), kText));
    const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        fail(doing, result.get());
    return result;
}

ServerResult ServerSession::run(const QByteArray& sql, const QString& doing) {
    return run(sql, ServerParameters(), doing);
}

// Reads what is left of the results of a query sent, so the connection takes the next one.
void ServerSession::drain() {
    while (ServerResult more{PQgetResult(m_conn)}) {
    }
}

void ServerSession::copyOut(const QByteArray& sql, const QString& doing,
                            const std::function<void(QByteArrayView)>& take) {
    connect();
    ServerResult start(PQexec(m_conn, sql.constData()));
    if (!start || PQresultStatus(start.get()) != PGRES_COPY_OUT)
        fail(doing, start.get());
    std::exception_ptr failure;
    for (;;) {
        char* data = nullptr;
        const int size = PQgetCopyData(m_conn, &data, 0);
        if (size < 0)
            break;  // -1: the copy is done; -2: it failed, which its result tells
        // After a failure the rest is read and dropped: the connection must see the end.
        if (!failure) {
            try {
                take(QByteArrayView(data, size));
            } catch (...) {
                failure = std::current_exception();
            }
        }
        PQfreemem(data);
    }
    ServerResult end(PQgetResult(m_conn));
    const bool ok = end && PQresultStatus(end.get()) == PGRES_COMMAND_OK;
    drain();
    if (failure)
        std::rethrow_exception(failure);
    if (!ok)
        fail(doing, end.get());
}

QByteArrayView ServerSession::text(const pg_result* result, int row, int column) {
    return QByteArrayView(PQgetvalue(result, row, column), PQgetlength(result, row, column));
}

qint64 ServerSession::integer(const pg_result* result, int row, int column) {
    const QByteArrayView digits = text(result, row, column);
    qint64 value = 0;
    std::from_chars(digits.begin(), digits.end(), value);
    return value;
}

bool ServerSession::boolean(const pg_result* result, int row, int column) {
    return *PQgetvalue(result, row, column) == 't';
}

void ServerSession::copyIn(const QByteArray& sql, const std::function<bool(QByteArray&)>& next,
                           const QString& doing) {
    connect();
    ServerResult start(PQexec(m_conn, sql.constData()));
    if (!start || PQresultStatus(start.get()) != PGRES_COPY_IN)
        fail(doing, start.get());
    QByteArray data;
    try {
        for (bool more = true; more;) {
            data.clear();
            more = next(data);
            if (!data.isEmpty() && PQputCopyData(m_conn, data.constData(), int(data.size())) != 1)
                fail(doing, nullptr);
        }
    } catch (...) {
        // The server drops what it received, and the connection is usable again.
        PQputCopyEnd(m_conn, "cancelled");
        drain();
        throw;
    }
    if (PQputCopyEnd(m_conn, nullptr) != 1)
        fail(doing, nullptr);
    ServerResult end(PQgetResult(m_conn));
    const bool ok = end && PQresultStatus(end.get()) == PGRES_COMMAND_OK;
    drain();
    if (!ok)
        fail(doing, end.get());
}
