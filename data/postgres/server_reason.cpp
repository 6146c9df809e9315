#include "server_reason.h"

#include <libpq-fe.h>

#include <QRegularExpression>

namespace {

struct Cause {
    const char* sqlState;  // a whole code, or a class of two characters
    const char16_t* russian;
};

// The failures an operator meets; the codes are PostgreSQL's SQLSTATE values.
constexpr Cause kCauses[] = {
    {"08", u"связь с сервером прервана"},
    {"57P01", u"сервер закрыл подключение (остановка, перезапуск или команда администратора)"},
    {"57P02", u"сервер закрыл подключение (остановка, перезапуск или команда администратора)"},
    {"57P03", u"сервер ещё не готов принимать подключения"},
    {"28", u"сервер не принял имя пользователя или пароль"},
    {"3D000", u"на сервере нет такой базы данных"},
    {"42501", u"нет прав доступа"},
    {"53300", u"к серверу подключено слишком много программ"},
    {"53", u"серверу не хватает ресурсов"},
    {"25006", u"сервер разрешает только чтение"},
    {"55P03", u"база данных занята другой программой, повторите попытку позже"},
    {"40001", u"запись помешала записи другой программы, повторите действие"},
    {"40P01", u"запись помешала записи другой программы, повторите действие"},
    {"22001", u"значение длиннее, чем разрешает столбец"},
    {"22021", u"в тексте есть недопустимый символ"},
    {"42P01", u"в базе данных нет нужной таблицы"},
    {"42703", u"в таблице нет нужного столбца"},
    {"57014", u"запрос отменён"},
    {"23", u"нарушено ограничение базы данных"},
};

bool hasState(const char* state, const char* code) {
    return state && qstrncmp(state, code, qstrlen(code)) == 0;
}

// A failed connection comes without a code: libpq's own English words tell the causes apart.
// The server's words, which libpq passes on, are those of the server's language.
struct Phrase {
    const char* pattern;
    const char16_t* russian;
    const char16_t* overTls = nullptr;  // the cause when the attempt was encrypted, if other
};
constexpr Phrase kConnectPhrases[] = {
    {"^(no pg_hba\\.conf entry|pg_hba\\.conf rejects connection)",
     u"сервер не разрешает такое подключение без шифрования (pg_hba.conf)",
     u"сервер не разрешает такое подключение (pg_hba.conf)"},
    {"^(Peer|Ident) authentication failed",
     u"имя пользователя системы не совпадает с именем пользователя базы (проверка peer)"},
    {"^role \".*\" does not exist", u"на сервере нет такого пользователя"},
    {"^database \".*\" does not exist", u"на сервере нет такой базы данных"},
    {"certificate verify failed",
     u"сертификат сервера не подписан центром сертификации, которому доверяет программа"},
    {"^server certificate for .* does not match host name",
     u"сертификат сервера выдан на другое имя"},
    {"^root certificate file .* does not exist",
     u"нет файла с сертификатом центра сертификации (root.crt)"},
    {"^server does not support SSL", u"сервер не поддерживает шифрование"},
    {"^(Connection refused|No such file or directory)", u"сервер не отвечает по этому адресу"},
    {"^could not translate host name", u"имя сервера не найдено"},
    {"^(Network is unreachable|No route to host)", u"сервер недоступен по сети"},
    {"^timeout expired", u"сервер не ответил вовремя"},
    {"^the database system is starting up", u"сервер ещё запускается"},
    {"^the database system is (not yet accepting connections|in recovery mode)",
     u"сервер ещё не готов принимать подключения"},
    {"^the database system is shutting down", u"сервер останавливается"},
    {"^sorry, too many clients", u"к серверу подключено слишком много программ"},
    {"^(session is read-only|server is in hot standby mode)",
     u"сервер разрешает только чтение (это резервный сервер)"},
};

// libpq's text on one line: it spreads its messages over several, with hints after a tab.
QString ownWords(const char* text) {
    static const QRegularExpression space(QStringLiteral("\\s+"));
    return QString::fromUtf8(text).replace(space, QStringLiteral(" ")).trimmed();
}

// What libpq says of the last attempt, without its "connection to server at ... failed:" and
// the server's "FATAL:". With several hosts, or a name with several addresses, libpq reports
// each attempt in turn; the last one decided.
QString lastAttempt(const QString& words) {
    static const QRegularExpression attempt(QStringLiteral(
        "(connection to server (at|on socket) .*? failed: |could not translate host name)"));
    static const QRegularExpression severity(QStringLiteral("^[A-Z]+: +"));
    QString last = words;
    for (const QRegularExpressionMatch& m : attempt.globalMatch(words)) {
        last = words.mid(m.capturedStart());
        if (m.capturedLength(2) > 0)
            last = words.mid(m.capturedEnd());
    }
    return last.remove(severity);
}

}  // namespace

QString serverReason(const pg_conn* conn, const pg_result* result) {
    const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    const char* primary = result ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    const QString own = ownWords(primary ? primary : conn ? PQerrorMessage(conn) : "");
    // Without the server's code the error is libpq's own: the answer never came.
    QString cause =
        state ? QStringLiteral("ошибка сервера") : QStringLiteral("связь с сервером прервана");
    for (const Cause& c : kCauses) {
        if (hasState(state, c.sqlState)) {
            cause = QString::fromUtf16(c.russian);
            break;
        }
    }
    return own.isEmpty() ? cause : QStringLiteral("%1 (%2)").arg(cause, own);
}

QString connectReason(const pg_conn* conn) {
    const QString own = ownWords(PQerrorMessage(conn));
    const QString last = lastAttempt(own);
    QString cause;
    if (PQconnectionNeedsPassword(conn)) {
        cause = QStringLiteral("сервер требует пароль (задайте его в ~/.pgpass или PGPASSWORD)");
    } else if (PQconnectionUsedPassword(conn) && last.contains(u"authentication failed")) {
        // The server asked for a password, had one, and refused: this one, or this user.
        cause = QStringLiteral("сервер не принял имя пользователя или пароль");
    } else {
        static const auto patterns = [] {
            std::vector<QRegularExpression> compiled;
            for (const Phrase& p : kConnectPhrases)
                compiled.emplace_back(QString::fromLatin1(p.pattern));
            return compiled;
        }();
        for (size_t i = 0; i < patterns.size(); ++i) {
            if (!patterns[i].match(last).hasMatch())
                continue;
            const Phrase& p = kConnectPhrases[i];
            cause = QString::fromUtf16(
                p.overTls && PQsslInUse(const_cast<pg_conn*>(conn)) ? p.overTls : p.russian);
            break;
        }
    }
    // An answer nothing here knows (a server that speaks another language, say) is shown as
    // it came rather than guessed at.
    if (cause.isEmpty())
        return own.isEmpty() ? QStringLiteral("нет связи с сервером") : own;
    return own.isEmpty() ? cause : QStringLiteral("%1 (%2)").arg(cause, own);
}

bool connectionLost(const pg_conn* conn, const pg_result* result) {
    if (!conn || PQstatus(conn) == CONNECTION_BAD)
        return true;
    // An error without the server's code is libpq's own: the statement did not reach the
    // server, or its answer did not come back. (libpq may report a connection that has just
    // ended as still good until it next reads from it.)
    const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    if (!state || hasState(state, "08") || hasState(state, "57P01") || hasState(state, "57P02") ||
        hasState(state, "57P03"))
        return true;
    // A standby refuses every write; the next connection looks for the primary again (with
    // target_session_attrs=read-write, the new one after a failover). A role that may only
    // read is refused the same way on a primary, and keeps its connection.
    const char* standby = PQparameterStatus(conn, "in_hot_standby");
    return hasState(state, "25006") && standby && qstrcmp(standby, "on") == 0;
}
