#include "server_address.h"

#include <libpq-fe.h>
#include <pg_config_manual.h>  // DEFAULT_PGSOCKET_DIR: where libpq looks without a host

#include <memory>

#include "error.h"

namespace {

struct OptionsDeleter {
    void operator()(PQconninfoOption* options) const { PQconninfoFree(options); }
};
using Options = std::unique_ptr<PQconninfoOption, OptionsDeleter>;

QString valueOf(const PQconninfoOption* options, const char* keyword) {
    for (const PQconninfoOption* o = options; o && o->keyword; ++o)
        if (qstrcmp(o->keyword, keyword) == 0 && o->val && *o->val)
            return QString::fromUtf8(o->val);
    return {};
}

}  // namespace

QString ServerAddress::describe() const {
    return (servers.size() == 1 ? QStringLiteral("сервер «%1», база данных «%2»")
                                : QStringLiteral("серверы «%1», база данных «%2»"))
        .arg(servers.join(QStringLiteral(", ")), database);
}

QString ServerAddress::describe(const QString& server) const {
    return QStringLiteral("сервер «%1», база данных «%2»").arg(server, database);
}

QString ServerAddress::serverName(const QString& host, const QString& port) {
    // A host that starts with a slash (or '@', Linux's abstract namespace) is a socket's folder.
    if (host.startsWith(u'/') || host.startsWith(u'@'))
        return host + QStringLiteral("/.s.PGSQL.") + port;
    if (host.contains(u':'))
        return QStringLiteral("[%1]:%2").arg(host, port);  // an IPv6 address
    return host + u':' + port;
}

ServerAddress ServerAddress::parse(const QString& uri) {
    ServerAddress address;
    address.uri = uri.toUtf8();
    char* message = nullptr;
    const Options written(PQconninfoParse(address.uri.constData(), &message));
    if (!written) {
        const QString reason =
            message ? QString::fromUtf8(message).trimmed() : QStringLiteral("не хватает памяти");
        PQfreemem(message);
        throw Error(
            QStringLiteral("Адрес сервера в строке подключения не разобран (%1).").arg(reason));
    }
    if (!valueOf(written.get(), "password").isEmpty())
        throw Error(QStringLiteral(
            "В строке подключения указан пароль. Пароль в командной строке виден другим "
            "пользователям; задайте его в файле ~/.pgpass или в переменной PGPASSWORD."));
    // What is not written comes from the environment (PGHOST, PGPORT, ...) or libpq's own
    // defaults, exactly as the connection will take it.
    const Options defaults(PQconndefaults());
    const auto either = [&](const char* keyword) {
        const QString value = valueOf(written.get(), keyword);
        return value.isEmpty() ? valueOf(defaults.get(), keyword) : value;
    };
    // libpq's lists: "a,b" hosts with one port for all or one each; an empty item takes the
    // default. A host is named as written, else by the address written for it.
    QString host = either("host");
    if (host.isEmpty())
        host = either("hostaddr");
    const QStringList hosts = host.split(u',');
    const QStringList ports = either("port").split(u',');
    for (qsizetype i = 0; i < hosts.size(); ++i) {
        const QString h = hosts[i].isEmpty() ? QStringLiteral(DEFAULT_PGSOCKET_DIR) : hosts[i];
        const QString p = ports.size() == hosts.size() ? ports[i] : ports.first();
        address.servers.append(serverName(h, p.isEmpty() ? QStringLiteral("5432") : p));
    }
    address.database = either("dbname");
    if (address.database.isEmpty())
        address.database = either("user");
    return address;
}
