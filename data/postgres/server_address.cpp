#include "server_address.h"

#include <libpq-fe.h>

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
    return QStringLiteral("сервер «%1:%2», база данных «%3»").arg(host, port, database);
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
    address.host = either("host");
    if (address.host.isEmpty())
        address.host = QStringLiteral("localhost");
    address.port = either("port");
    address.database = either("dbname");
    if (address.database.isEmpty())
        address.database = either("user");
    return address;
}
