#include "fold_sql.h"

#include <QString>

#include "matching.h"

namespace {

// "'ABC…ЯЁё', 'abc…яее'": every character foldChar() changes, and what it becomes. Written
// from foldChar() itself, so the server folds exactly as the program does.
QByteArray translation() {
    QString from, to;
    for (char16_t c = 1; c != 0; ++c) {
        if (foldChar(c) != c) {
            from += QChar(c);
            to += QChar(foldChar(c));
        }
    }
    return "'" + from.toUtf8() + "', '" + to.toUtf8() + "'";
}

}  // namespace

QByteArray foldSql(QByteArrayView column) {
    static const QByteArray letters = translation();
    return "translate(" + column.toByteArray() + ", " + letters + ")";
}

QByteArray foldedSql(QByteArrayView column) {
    return foldSql(column) + " COLLATE \"C\"";
}
