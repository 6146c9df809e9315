#include "fold_function.h"

#include <sqlite3.h>

#include "matching.h"
#include "statement.h"

namespace {

void sqlFold(sqlite3_context* context, int, sqlite3_value** args) {
    if (sqlite3_value_type(args[0]) == SQLITE_NULL) {
        sqlite3_result_null(context);
        return;
    }
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(args[0]));
    const QByteArray folded = foldUtf8(QByteArrayView(text, sqlite3_value_bytes(args[0])));
    sqlite3_result_text(context, folded.constData(), int(folded.size()), SQLITE_TRANSIENT);
}

}  // namespace

void registerFoldFunction(sqlite3* db) {
    const int rc = sqlite3_create_function_v2(db, "fold", 1,
                                              SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS,
                                              nullptr, sqlFold, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        throwSqliteError(db, rc, QStringLiteral("Не удалось подготовить поиск"));
}
