#include "html_file_name.h"

QString htmlFileName(const QString& chosen) {
    const QLatin1StringView extension(".html");
    if (chosen.endsWith(extension, Qt::CaseInsensitive)) {
        return chosen;
    }
    return chosen + extension;
}
