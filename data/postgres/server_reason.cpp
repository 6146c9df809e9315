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
    {"57P01", u"сервер останавливается или перезапускается"},
    {"57P02", u"сервер останавливается или перезапускается"},
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

// Failures to connect come without a code: libpq's own text tells them apart.
struct Phrase {
    const char* text;
    const char16_t* russian;
};
constexpr Phrase kConnectPhrases[] = {
    {"Connection refused", u"сервер не отвечает по этому адресу"},
    {"could not translate host name", u"имя сервера не найдено"},
    {"timeout expired", u"сервер не ответил вовремя"},
    {"password authentication failed", u"сервер не принял имя пользователя или пароль"},
    {"no password supplied", u"сервер требует пароль (задайте его в ~/.pgpass или PGPASSWORD)"},
    {"the database system is starting up", u"сервер ещё запускается"},
    {"the database system is shutting down", u"сервер останавливается"},
    {"role \"", u"на сервере нет такого пользователя"},
    {"database \"", u"на сервере нет такой базы данных"},
    {"No such file or directory", u"сервер не найден"},
    {"server closed the connection", u"связь с сервером прервана"},
    {"no connection to the server", u"связь с сервером прервана"},
};

// libpq's text on one line: it spreads its messages over several, with hints after a tab.
QString ownWords(const char* text) {
    static const QRegularExpression space(QStringLiteral("\\s+"));
    return QString::fromUtf8(text).replace(space, QStringLiteral(" ")).trimmed();
}

}  // namespace

QString serverReason(const pg_conn* conn, const pg_result* result) {
    const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    const char* primary = result ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    const QString own = ownWords(primary ? primary : conn ? PQerrorMessage(conn) : "");
    QString cause;
    if (state) {
        for (const Cause& c : kCauses) {
            if (qstrncmp(state, c.sqlState, qstrlen(c.sqlState)) == 0) {
                cause = QString::fromUtf16(c.russian);
                break;
            }
        }
    }
    if (cause.isEmpty() && conn && PQstatus(conn) == CONNECTION_BAD) {
        cause = QStringLiteral("нет связи с сервером");
        for (const Phrase& p : kConnectPhrases) {
            if (own.contains(QLatin1StringView(p.text))) {
                cause = QString::fromUtf16(p.russian);
                break;
            }
        }
    }
    if (cause.isEmpty())
        cause = QStringLiteral("ошибка сервера");
    return own.isEmpty() ? cause : QStringLiteral("%1 (%2)").arg(cause, own);
}
