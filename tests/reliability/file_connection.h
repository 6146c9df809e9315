#pragma once

#include <QString>

#include "connection_settings.h"

// The program's own connection string with the data source pointing at `path`.
inline QString connectionStringFor(const QString& path) {
    return QString::fromLatin1(kConnectionString)
        .replace(QStringLiteral("Data Source=tel.dll"), QStringLiteral("Data Source=") + path);
}
