#include "connection_settings.h"

#include <QStringList>

#include "error.h"

ConnectionSettings ConnectionSettings::parse(const QString& connectionString) {
    ConnectionSettings settings;
    for (const QString& part : connectionString.split(u';', Qt::SkipEmptyParts)) {
        const qsizetype eq = part.indexOf(u'=');
        if (eq < 0)
            continue;
        const QString name = part.left(eq).trimmed();
        const QString value = part.mid(eq + 1).trimmed();
        if (name.compare(u"Provider", Qt::CaseInsensitive) == 0) {
            settings.provider = value.compare(u"PostgreSQL", Qt::CaseInsensitive) == 0
                                    ? Provider::PostgreSQL
                                    : Provider::SQLite;
        } else if (name.compare(u"Data Source", Qt::CaseInsensitive) == 0) {
            settings.dataSource = value;
        } else if (name.compare(u"Mode", Qt::CaseInsensitive) == 0) {
            settings.readWrite = value.contains(u"Write", Qt::CaseInsensitive);
        }
    }
    if (settings.dataSource.isEmpty())
        throw Error(QStringLiteral("В строке подключения не указан справочник (Data Source)."));
    return settings;
}
